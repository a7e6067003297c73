#pragma once

#include <fmt/printf.h>

#include <QString>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velkin {

class Connection;
class ServerDialect;

/// A statement or message from a printf format, as the screens' formats are written.
template <typename... Args>
std::string sqlf(const char* format, const Args&... args) {
    return fmt::sprintf(format, args...);
}

/// The same for interface texts.
template <typename... Args>
QString textf(const char* format, const Args&... args) {
    return QString::fromStdString(fmt::sprintf(format, args...));
}

inline std::string u8(const QString& s) {
    return s.toStdString();
}
inline QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

/// A value's text made safe to stand between single quotes that a format already has.
std::string escapeValue(const Connection& connection, std::string_view value);
/// A value as a literal: quoted and escaped, or the keyword NULL.
std::string quoteValue(const Connection& connection, const std::optional<std::string_view>& value);

/// [A-Za-z_][A-Za-z0-9_$]*: a name that may stand bare unless it is a reserved word.
bool isPlainIdentifier(std::string_view name);
/// A name read from the server, bare when it can be, in backticks (inner backticks doubled) otherwise.
std::string quoteName(std::string_view name, const ServerDialect& dialect);
std::string quoteName(const Connection& connection, std::string_view name);
/// database.table with each part quoted as needed.
std::string qualifiedName(const Connection& connection, std::string_view database, std::string_view table);
/// A LIKE pattern, for use between single quotes, that matches exactly this name.
std::string likeLiteral(std::string_view name);
/// The same for a server in NO_BACKSLASH_ESCAPES mode, where the literal is read without backslash
/// escapes (a quote is doubled) and the LIKE pattern still takes the backslash as its escape.
std::string likeLiteral(std::string_view name, bool noBackslashEscapes);
/// The pattern for the mode the connection's server is in now.
std::string likeLiteral(const Connection& connection, std::string_view name);

/// The statement that lists a table's columns: name, type, null, key, default, extra.
std::string showFieldsStatement(const Connection& connection, std::string_view database,
                                std::string_view table);
/// The statement that lists the databases the session may see.
std::string showDatabasesStatement();
/// The tables of the database in use.
std::string showTablesStatement();
/// The server's variables and its engines, two texts a row (name and value, engine and support).
std::string showVariablesStatement();
std::string showEnginesStatement();
/// "KILL QUERY id": stops a connection's statement and leaves the connection.
std::string killQueryStatement(unsigned long threadId);
/// One row whose value is 1 while the server runs the connection with this id, 0 once it is gone.
std::string connectionPresentStatement(unsigned long threadId);
/// "DO 0": a statement that does nothing.
std::string quietStatement();

/// True for a word (in upper case) that current servers reserve, so that a name spelt so must be quoted.
bool isBuiltInReservedWord(std::string_view upperWord);

/// Whether mysql.user is a base table, whether it has Password and is_role columns, and whether
/// mysql.host exists: one row that tells the account model.
const char* accountFactsStatement();
/// The reserved words of a server that marks them in information_schema.
const char* reservedWordsStatement();

/// The status rows of every table of a database.
std::string tableStatusStatement(const Connection& connection, std::string_view database);
/// The status row of exactly this table (its name matched literally, not as a pattern).
std::string tableStatusStatement(const Connection& connection, std::string_view database,
                                 std::string_view table);

}  // namespace velkin
