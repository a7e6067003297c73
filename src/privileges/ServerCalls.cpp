#include "ServerCalls.h"

#include "session/Connection.h"
#include "session/InputPause.h"
#include "session/Operator.h"
#include "transfer/WorkButtons.h"

namespace velkin {

ServerCalls::ServerCalls(Connection& connection, Operator& op) : m_connection(connection), m_op(op) {}

template <class Call>
auto ServerCalls::besideWindow(Call call, decltype(call()) refused) -> decltype(call()) {
    // A call from a handler that ran while the previous call waited would find the work taken.
    if (m_work.running())
        return refused;
    decltype(call()) answer{};
    const InputPause pause(nullptr, [this] {
        keepOpenForWork(m_work, m_op, QStringLiteral("The reading or writing of the privileges"));
    });
    m_work.run({&m_connection}, [&](WorkControl&) { answer = call(); });
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

}  // namespace velkin
