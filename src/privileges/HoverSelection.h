#pragma once

#include <QObject>
#include <QPersistentModelIndex>
#include <QTimer>

class QAbstractItemView;

namespace velkin {

/// Selects the entry of a list on which the pointer rests for a moment, as a click would, and
/// optionally underlines the entry under the pointer.
class HoverSelection : public QObject {
    Q_OBJECT
public:
    /// The pause of the pointer that counts as resting, about the desktop's usual hover time.
    static constexpr int kRestMilliseconds = 400;

    HoverSelection(QAbstractItemView* view, bool underline);

    /// The entry under the pointer, or an invalid index.
    QModelIndex hotEntry() const { return m_hot; }
    /// What the pointer entering an entry does (the view reports it while the mouse is tracked).
    void enter(const QModelIndex& index);
    /// What the pointer resting on the entry does: it becomes the selected entry.
    void rest();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void leave();
    bool viewAlive() const;
    void underline(const QModelIndex& index, bool on);

    QAbstractItemView* m_view;
    QObject* m_viewport;
    bool m_viewGone = false;
    bool m_underline;
    QPersistentModelIndex m_hot;
    QTimer m_timer;
};

}  // namespace velkin
