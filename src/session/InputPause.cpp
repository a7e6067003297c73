#include "InputPause.h"

#include <QCoreApplication>
#include <QEvent>

namespace velkin {

namespace {

bool within(const QObject* object, const QObject* ancestor) {
    for (; object; object = object->parent())
        if (object == ancestor)
            return true;
    return false;
}

}  // namespace

InputPause::InputPause(QObject* open, std::function<void()> closeAsked)
    : m_open(open), m_closeAsked(std::move(closeAsked)) {
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
    if (event->type() == QEvent::Close && m_closeAsked && watched->isWidgetType()) {
        event->ignore();
        m_closeAsked();
        return true;
    }
    // A window hands its input on to the widget it is meant for, which is where it is held.
    if (watched->isWidgetType())
        return !(m_open && within(watched, m_open));
    return event->type() == QEvent::Shortcut;
}

}  // namespace velkin
