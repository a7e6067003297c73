#include "InputPause.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace velkin {

InputPause::InputPause(QWidget* open) : m_open(open) {
    qApp->installEventFilter(this);
}

InputPause::~InputPause() {
    qApp->removeEventFilter(this);
}

bool InputPause::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::Drop:
        case QEvent::Close:
            break;
        default:
            return false;
    }
    // A window hands its input on to the widget it is meant for, which is where it is held.
    if (auto* widget = qobject_cast<QWidget*>(watched))
        return !(m_open && (widget == m_open || m_open->isAncestorOf(widget)));
    return event->type() == QEvent::Shortcut;
}

}  // namespace velkin
