#include "ServerCalls.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include "session/Connection.h"
#include "session/Operator.h"
#include "transfer/WorkButtons.h"

namespace velkin {

namespace {

bool isInput(const QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            return true;
        default:
            return false;
    }
}

}  // namespace

ServerCalls::ServerCalls(Connection& connection, Operator& op, QWidget* screen)
    : m_connection(connection), m_op(op), m_screen(screen) {}

template <class Call>
auto ServerCalls::besideWindow(Call call, decltype(call()) refused) -> decltype(call()) {
    // A call from a handler that ran while the previous call waited would find the work taken.
    if (m_work.running())
        return refused;
    decltype(call()) answer{};
    QCoreApplication::instance()->installEventFilter(this);
    m_work.run({&m_connection}, [&](WorkControl&) { answer = call(); });
    QCoreApplication::instance()->removeEventFilter(this);
    return answer;
}

int ServerCalls::query(std::string_view sql) {
    return besideWindow([&] { return m_connection.query(sql); }, -1);
}

Result ServerCalls::storeResult() {
    return besideWindow([&] { return m_connection.storeResult(); }, Result());
}

Result ServerCalls::select(std::string_view sql) {
    return besideWindow([&] { return m_connection.select(sql); }, Result());
}

bool ServerCalls::selectDb(const std::string& database) {
    return besideWindow([&] { return m_connection.selectDb(database); }, false);
}

bool ServerCalls::describesTable(const std::string& table) {
    return besideWindow([&] { return bool(m_connection.listFields(table)); }, false);
}

Result ServerCalls::listDbs() {
    return besideWindow([&] { return m_connection.listDbs(); }, Result());
}

int ServerCalls::refresh(unsigned options) {
    return besideWindow([&] { return m_connection.refresh(options); }, -1);
}

bool ServerCalls::eventFilter(QObject* watched, QEvent* event) {
    if (!m_screen || !watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != m_screen)
        return false;
    if (event->type() == QEvent::Close && widget == m_screen) {
        event->ignore();
        keepOpenForWork(m_work, m_op, QStringLiteral("The reading or writing of the privileges"));
        return true;
    }
    return isInput(event);
}

}  // namespace velkin
