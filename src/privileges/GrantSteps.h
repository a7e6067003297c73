#pragma once

#include <QString>
#include <initializer_list>

class QDialog;
class QWidget;
#include <functional>
#include <string>
#include <vector>

#include "GrantStatements.h"

namespace velkin {

class Connection;
class Operator;
class Result;
class Row;
class ServerCalls;

/// The caption of the privilege screens' stop and information messages.
QString infoCaption();
/// What the host screens say on servers that no longer read mysql.host.
QString hostTableIgnoredText();
/// Puts that text at the top of a host screen (label "Host limits") and disables the given widgets,
/// so that nothing there reads or writes a table the server ignores.
void showHostTableIgnored(QDialog& dialog, std::initializer_list<QWidget*> disabled);

/// Where a database entry is written with GRANT and REVOKE instead of on mysql.db itself: only where
/// the server refuses direct writes (screens that edit mysql.db rows as such, for any user@host), or
/// wherever it has account statements (the user editor, whose entries belong to the account it edits).
enum class GrantWriting { StatementsWhereRequired, StatementsWhereAvailable };

/// Steps that the grant-table screens repeat, each with its fixed messages. Their statements go
/// through the screen's calls, beside the window's thread.
class GrantSteps {
public:
    GrantSteps(ServerCalls& calls, Operator& op);

    ServerCalls& calls() const { return m_calls; }
    /// A failure message with the "Velkin Infomation" caption and the stop icon.
    void stop(const QString& text);
    /// The same for a statement that failed: the text, a line break and the server's "%d:%s".
    void stopWithError(const QString& text);
    /// text, a line break and the server's "%d:%s" of the last statement.
    QString withError(const QString& text) const;
    /// Puts what was written to the grant tables into force (the server reads them only when told).
    /// Says so when the reload fails, since the change then has no effect yet.
    bool reload();
    /// Removes an account with every privilege row it owns: its rows of the grant tables, or DROP USER
    /// where accounts are changed with statements. Says why when it fails. Once the account is gone,
    /// rows of its user name at hosts that have no account are shown and deleted if the person agrees.
    bool deleteAccount(const std::string& host, const std::string& user);
    /// Before a command on the chosen entry: says missing when none is chosen, otherwise asks the
    /// question (a format with one %s for the entry); true when the answer is yes.
    bool confirmChosen(const QString& chosen, const QString& missing, const char* question);
    /// Removes a mysql.host row and reloads; says why when it fails.
    bool removeHostRow(const std::string& host, const std::string& database);
    /// True where host limits are honoured by the server; otherwise says once that they are part of
    /// each account's user@host now.
    bool hostTableHonoured();
    /// Changes a database entry from the flags it held to the wanted ones, perhaps under a new key:
    /// the screen's own statement on mysql.db followed by a reload, or GRANT and REVOKE (a moved entry
    /// is revoked at its old key) where writing says so. Says failure with the server's "%d:%s" when a
    /// statement fails.
    bool changeDatabaseEntry(const DatabaseEntry& from, const std::vector<bool>& held,
                             const DatabaseEntry& to, const std::vector<bool>& wanted,
                             const std::string& tableStatement, const QString& failure,
                             GrantWriting writing = GrantWriting::StatementsWhereRequired);
    /// Removes a database entry: DELETE on mysql.db and a reload, or REVOKE of everything it holds
    /// where writing says so. Says why when mysql cannot be made the default database or a statement
    /// fails.
    bool removeDatabaseEntry(const DatabaseEntry& entry, const std::vector<bool>& held,
                             GrantWriting writing = GrantWriting::StatementsWhereRequired);
    /// Sends a statement that writes mysql.db and reloads; says failure with "%d:%s" when it fails.
    bool writeGrantTable(const std::string& sql, const QString& failure);
    /// Makes mysql the default database. On failure says "A database does not open.", before a
    /// change with the stop icon, before a read without.
    bool useGrantDatabase(bool beforeChange);
    /// Reads the one row a screen edits and hands it to use. Says why when the statement fails,
    /// gives no row set or no row; then use is not called.
    bool loadRow(const std::string& sql, const std::function<void(const Row&)>& use);
    /// Reads the rows a list shows. Says why (without the stop icon) when the statement fails or gives
    /// no row set; the result is then empty.
    Result readRows(const std::string& sql);

private:
    bool grantsByStatement(GrantWriting writing) const;
    bool sendAll(const std::vector<std::string>& statements, const QString& failure);
    bool removeAccountRows(const std::string& host, const std::string& user);
    void offerOrphanRemoval(const std::string& user);

    ServerCalls& m_calls;
    Connection& m_connection;
    Operator& m_op;
};

}  // namespace velkin
