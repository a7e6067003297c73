#pragma once

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <array>

#include "session/BackgroundWork.h"
#include "session/StatusPanes.h"

namespace velkin {

/// A pane that shows as much of its text as its width allows, ends a cut text with "...", and then
/// holds the whole text in its tooltip. It asks for its whole text's width and gives way when the bar
/// is short, so every pane keeps a readable part instead of one pane taking all the room.
class PaneLabel : public QLabel {
public:
    explicit PaneLabel(const QString& text, QWidget* parent);
    void setFullText(const QString& text);
    const QString& fullText() const { return m_fullText; }
    /// A note the tooltip shows always, below the whole text when that is cut.
    void setNote(const QString& note);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showFitting();
    QString m_fullText;
    QString m_note;
};

/// The main window's status bar: the message pane, and beside it the record list's place (records,
/// database, table, page), login name, host name and reference time. Every pane but the message pane
/// is as wide as its text, so nothing that tells the operator where they are is cut.
class StatusBar : public StatusPanes {
public:
    static constexpr int kPaneCount = 5;

    explicit StatusBar(QStatusBar* bar);

    void setPaneText(int pane, const QString& text) override;
    void setPaneFixed(int pane, int width) override;
    QString paneText(int pane) const;
    PaneLabel* pane(int pane) const { return m_panes.at(pane); }
    /// Shown beside the host name once a connection was made: encrypted or not, and the cipher.
    void setSecurityText(const QString& text) override;
    QLabel* securityPane() const { return m_security; }
    QObject* showWork(BackgroundWork* work, const QString& what) override;

private:
    QStatusBar* m_bar;
    QLabel* m_security = nullptr;
    QLabel* m_workText = nullptr;
    QPushButton* m_stop = nullptr;
    QTimer* m_workShown = nullptr;
    QPointer<BackgroundWork> m_work;
    std::array<PaneLabel*, kPaneCount> m_panes{};
};

}  // namespace velkin
