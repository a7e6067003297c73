#include "HoverSelection.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QFont>

namespace velkin {

HoverSelection::HoverSelection(QAbstractItemView* view, bool underline)
    : QObject(view), m_view(view), m_viewport(view->viewport()), m_underline(underline) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(kRestMilliseconds);
    view->setMouseTracking(true);
    view->viewport()->installEventFilter(this);
    // The viewport goes before this filter does (both are children of the view); from then on the
    // view is half destroyed.
    connect(view->viewport(), &QObject::destroyed, this, [this] {
        m_viewGone = true;
        m_timer.stop();
    });
    connect(view, &QAbstractItemView::entered, this, &HoverSelection::enter);
    connect(&m_timer, &QTimer::timeout, this, &HoverSelection::rest);
}

void HoverSelection::enter(const QModelIndex& index) {
    if (index == QModelIndex(m_hot))
        return;
    underline(m_hot, false);
    m_hot = index;
    underline(m_hot, true);
    m_timer.start();
}

void HoverSelection::rest() {
    m_timer.stop();
    if (!m_hot.isValid())
        return;
    const QModelIndex index = m_hot;
    if (m_view->currentIndex() != index || !m_view->selectionModel()->isSelected(index))
        m_view->setCurrentIndex(index);
}

bool HoverSelection::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_viewport && event->type() == QEvent::Leave && viewAlive())
        leave();
    return QObject::eventFilter(watched, event);
}

bool HoverSelection::viewAlive() const {
    // While the view is being destroyed its viewport still reports leaving; by then the object is no
    // longer a view (its type has fallen back to a base class), so none of its members may be called.
    // Asking the meta object, a virtual call through QObject, is safe at every stage.
    return !m_viewGone && qobject_cast<const QAbstractItemView*>(m_viewport->parent()) == m_view;
}

void HoverSelection::leave() {
    m_timer.stop();
    underline(m_hot, false);
    m_hot = QPersistentModelIndex();
}

void HoverSelection::underline(const QModelIndex& index, bool on) {
    if (!m_underline || !index.isValid())
        return;
    QAbstractItemModel* model = m_view->model();
    for (int column = 0; column < model->columnCount(index.parent()); ++column) {
        const QModelIndex cell = index.siblingAtColumn(column);
        if (!on) {
            model->setData(cell, QVariant(), Qt::FontRole);
            continue;
        }
        QFont font = m_view->font();
        font.setUnderline(true);
        model->setData(cell, font, Qt::FontRole);
    }
}

}  // namespace velkin
