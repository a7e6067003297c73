#pragma once

#include <QObject>
#include <QString>
#include <string>
#include <string_view>

#include "session/BackgroundWork.h"

namespace velkin {

class Connection;
class Operator;
class Result;

/// A privilege screen's calls to the server, each run beside the window's thread so that the window
/// keeps painting and its timers fire while the server answers. Meanwhile the screen takes no clicks
/// or keys, so that none of them starts a second call on the connection the first one holds, and
/// closing it asks whether to stop the call.
class ServerCalls : public QObject {
    Q_OBJECT
public:
    ServerCalls(Connection& connection, Operator& op);

    /// The connection the screen's statements are composed for (escaping, dialect).
    Connection& connection() const { return m_connection; }
    bool running() const { return m_work.running(); }

    int query(std::string_view sql);
    /// The rows of the last statement, read from the server beside the window.
    Result storeResult();
    /// query() then storeResult(); an empty Result when either failed.
    Result select(std::string_view sql);
    bool selectDb(const std::string& database);
    /// Whether the server describes the table's columns: the screens' test of a readable grant table.
    bool describesTable(const std::string& table);
    Result listDbs();
    int refresh(unsigned options);

private:
    /// The call's answer; refused when a call is still running (the screen lets no input start one).
    template <class Call>
    auto besideWindow(Call call, decltype(call()) refused) -> decltype(call());

    Connection& m_connection;
    Operator& m_op;
    BackgroundWork m_work;
};

}  // namespace velkin
