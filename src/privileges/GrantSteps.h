#pragma once

#include <QString>
#include <functional>
#include <string>

namespace velkin {

class Connection;
class Operator;
class Row;

/// The caption of the privilege screens' stop and information messages.
QString infoCaption();

/// Steps that the grant-table screens repeat, each with its fixed messages.
class GrantSteps {
public:
    GrantSteps(Connection& connection, Operator& op) : m_connection(connection), m_op(op) {}

    /// A failure message with the "Velkin Infomation" caption and the stop icon.
    void stop(const QString& text);
    /// Makes mysql the default database. On failure says "A database does not open.", before a
    /// change with the stop icon, before a read without.
    bool useGrantDatabase(bool beforeChange);
    /// Reads the one row a screen edits and hands it to use. Says why when the statement fails,
    /// gives no row set or no row; then use is not called.
    bool loadRow(const std::string& sql, const std::function<void(const Row&)>& use);

private:
    Connection& m_connection;
    Operator& m_op;
};

}  // namespace velkin
