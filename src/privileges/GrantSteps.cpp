#include "GrantSteps.h"

#include <QBoxLayout>
#include <QDialog>
#include <QLabel>
#include <QStringList>

#include "AccountStatements.h"
#include "GrantListText.h"
#include "GrantStatements.h"
#include "ServerCalls.h"
#include "UserTableStatements.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/SqlText.h"

namespace velkin {

QString infoCaption() {
    return QStringLiteral("Velkin Infomation");
}

QString hostTableIgnoredText() {
    return QStringLiteral(
        "This server does not use host restrictions (mysql.host): host limits are now part of each "
        "account's user@host. Give an account its hosts in the user editor.");
}

void showHostTableIgnored(QDialog& dialog, std::initializer_list<QWidget*> disabled) {
    auto* notice = new QLabel(hostTableIgnoredText(), &dialog);
    notice->setObjectName(QStringLiteral("Host limits"));
    notice->setWordWrap(true);
    if (auto* layout = qobject_cast<QBoxLayout*>(dialog.layout()))
        layout->insertWidget(0, notice);
    for (QWidget* widget : disabled)
        widget->setEnabled(false);
}

GrantSteps::GrantSteps(ServerCalls& calls, Operator& op)
    : m_calls(calls), m_connection(calls.connection()), m_op(op) {}

void GrantSteps::stop(const QString& text) {
    m_op.inform(text, infoCaption(), MessageIcon::Stop);
}

QString GrantSteps::withError(const QString& text) const {
    return text + QLatin1Char('\n') + qs(m_connection.errorLine());
}

void GrantSteps::stopWithError(const QString& text) {
    stop(withError(text));
}

bool GrantSteps::reload() {
    constexpr unsigned kGrantReload = 1;  // REFRESH_GRANT
    if (m_calls.refresh(kGrantReload) == 0)
        return true;
    stopWithError(QStringLiteral("The privileges were written but could not be put into force."));
    return false;
}

bool GrantSteps::sendAll(const std::vector<std::string>& statements, const QString& failure) {
    for (const auto& sql : statements) {
        if (m_calls.query(sql) != 0) {
            stopWithError(failure);
            return false;
        }
    }
    return true;
}

bool GrantSteps::deleteAccount(const std::string& host, const std::string& user) {
    if (!removeAccountRows(host, user))
        return false;
    offerOrphanRemoval(user);
    return true;
}

bool GrantSteps::removeAccountRows(const std::string& host, const std::string& user) {
    const QString failure = QStringLiteral("There is no right to access.");
    // DROP USER also takes the account's database, table, column and routine grants, so that the same
    // name can be created again and nobody inherits them.
    if (m_connection.dialect().usesAccountStatements())
        return sendAll({dropUserStatement(m_connection, host, user)}, failure);
    if (!useGrantDatabase(true))
        return false;
    std::vector<std::string> statements{userRowDelete(m_connection, host, user)};
    for (auto& sql : accountGrantRowsDelete(m_connection, host, user))
        statements.push_back(std::move(sql));
    return sendAll(statements, failure) && reload();
}

void GrantSteps::offerOrphanRemoval(const std::string& user) {
    // Privilege rows of the name at a host that no account has are found by name and host at login,
    // so they still give rights, and pass to whoever gets such an account later.
    const QString failure = QStringLiteral("There is no right to access.");
    Result rows = m_calls.select(orphanGrantHostsQuery(m_connection, user));
    if (!rows) {
        stopWithError(failure);
        return;
    }
    QStringList hosts;
    while (Row row = rows.fetchRow())
        hosts << qs(row.text(0));
    if (hosts.isEmpty() || !m_op.ask(orphanGrantsQuestion(qs(user), hosts)))
        return;
    if (useGrantDatabase(true) && sendAll(orphanGrantRowsDelete(m_connection, user), failure))
        reload();
}

bool GrantSteps::confirmChosen(const QString& chosen, const QString& missing, const char* question) {
    if (chosen.isEmpty()) {
        m_op.inform(missing);
        return false;
    }
    return m_op.ask(textf(question, u8(chosen)));
}

bool GrantSteps::removeHostRow(const std::string& host, const std::string& database) {
    return useGrantDatabase(true) && writeGrantTable(hostRowDelete(m_connection, host, database),
                                                     QStringLiteral("There is no right to access."));
}

bool GrantSteps::writeGrantTable(const std::string& sql, const QString& failure) {
    if (m_calls.query(sql) != 0) {
        stopWithError(failure);
        return false;
    }
    return reload();
}

bool GrantSteps::grantsByStatement(GrantWriting writing) const {
    const ServerDialect& dialect = m_connection.dialect();
    if (writing == GrantWriting::StatementsWhereAvailable && dialect.usesAccountStatements())
        return true;
    return dialect.grantsDatabasesByStatement();
}

bool GrantSteps::changeDatabaseEntry(const DatabaseEntry& from, const std::vector<bool>& held,
                                     const DatabaseEntry& to, const std::vector<bool>& wanted,
                                     const std::string& tableStatement, const QString& failure,
                                     GrantWriting writing) {
    if (!grantsByStatement(writing))
        return writeGrantTable(tableStatement, failure);
    std::vector<std::string> statements;
    const bool moved = from.database != to.database || from.host != to.host || from.user != to.user;
    if (moved)
        statements = databaseRevokeAllStatements(m_connection, from.database, from.host, from.user, held);
    for (auto& sql : databaseGrantStatements(m_connection, to.database, to.host, to.user,
                                             moved ? std::vector<bool>() : held, wanted))
        statements.push_back(std::move(sql));
    return sendAll(statements, failure);
}

bool GrantSteps::removeDatabaseEntry(const DatabaseEntry& entry, const std::vector<bool>& held,
                                     GrantWriting writing) {
    const QString failure = QStringLiteral("There is no right to access.");
    if (!useGrantDatabase(true))
        return false;
    if (!grantsByStatement(writing))
        return writeGrantTable(dbRowDelete(m_connection, entry.host, entry.database, entry.user), failure);
    return sendAll(databaseRevokeAllStatements(m_connection, entry.database, entry.host, entry.user, held),
                   failure);
}

bool GrantSteps::hostTableHonoured() {
    if (m_connection.dialect().honoursHostTable())
        return true;
    m_op.inform(hostTableIgnoredText(), infoCaption(), MessageIcon::Information);
    return false;
}

bool GrantSteps::useGrantDatabase(bool beforeChange) {
    if (m_calls.selectDb("mysql"))
        return true;
    if (beforeChange)
        stop(QStringLiteral("A database does not open."));
    else
        m_op.inform(QStringLiteral("A database does not open."));
    return false;
}

bool GrantSteps::loadRow(const std::string& sql, const std::function<void(const Row&)>& use) {
    if (m_calls.query(sql) != 0) {
        stopWithError(QStringLiteral("There is no right to access."));
        return false;
    }
    Result rows = m_calls.storeResult();
    if (!rows) {
        stop(QStringLiteral("User information was not found."));
        return false;
    }
    Row row = rows.fetchRow();
    if (!row) {
        stop(QStringLiteral("User information was not able to be taken out."));
        return false;
    }
    use(row);
    return true;
}

Result GrantSteps::readRows(const std::string& sql) {
    if (m_calls.query(sql) != 0) {
        m_op.inform(withError(QStringLiteral("There is no right to access.")));
        return Result();
    }
    Result rows = m_calls.storeResult();
    if (!rows)
        m_op.inform(QStringLiteral("User information was not found."));
    return rows;
}

}  // namespace velkin
