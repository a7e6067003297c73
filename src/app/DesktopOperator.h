#pragma once

#include <QPointer>
#include <QWidget>

#include "session/Operator.h"

namespace velkin {

/// The person at a real screen: message boxes, modal dialogs, file and font choosers.
class DesktopOperator : public Operator {
public:
    /// Messages are centred on this window when it is set and visible.
    void setWindow(QWidget* window) { m_window = window; }
    using Operator::ask;
    using Operator::inform;

    void inform(const QString& text, const QString& caption, MessageIcon icon) override;
    bool ask(const QString& text, const QString& caption) override;
    bool askDefaultNo(const QString& text, const QString& caption) override;
    int runModal(QDialog& dialog) override;
    QString chooseOpenFile(QWidget* parent, const QString& caption, const QString& filter) override;
    QString chooseSaveFile(QWidget* parent, const QString& caption, const QString& filter) override;
    QString chooseFolder(QWidget* parent, const QString& caption) override;
    bool chooseFont(QWidget* parent, QFont& font) override;
    void beginWait() override;
    void endWait() override;

private:
    QWidget* window() const;
    QPointer<QWidget> m_window;
};

}  // namespace velkin
