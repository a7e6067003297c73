#pragma once

#include <QString>
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace velkin {

class Connection;
class ServerDialect;

/// The three condition sets of the filter, one text per column position; empty means no condition.
using FilterConditions = std::array<std::vector<std::string>, 3>;

/// "select * from %s.%s LIMIT %d,%d": one page of the whole table.
std::string pageStatement(const ServerDialect& dialect, const std::string& database, const std::string& table,
                          int page, int pageLength);
/// "select count(*) from %s.%s": the rows of the whole table.
std::string countStatement(const ServerDialect& dialect, const std::string& database,
                           const std::string& table);

/// Every non-empty condition, column by column and within a column in set order, each after its
/// column's name, joined by " AND "; empty when no column has a condition.
std::string filterConditionsText(const ServerDialect& dialect, const std::vector<std::string>& columnNames,
                                 const FilterConditions& conditions);
/// "from %s.%s  WHERE " and every non-empty condition, column by column and within a column in set
/// order, joined by " AND ". Empty when no column has a condition.
std::string filterClause(const ServerDialect& dialect, const std::string& database, const std::string& table,
                         const std::vector<std::string>& columnNames, const FilterConditions& conditions);
/// "Select count(*) " and the clause.
std::string filteredCountStatement(const std::string& clause);
/// "Select * ", the clause and " LIMIT %d,%d".
std::string filteredPageStatement(const std::string& clause, int page, int pageLength);

/// A column of a row's key and the row's value in it; nothing for NULL.
struct KeyValue {
    std::string column;
    std::optional<std::string> value;
};
/// The condition that finds one row by its key, for after WHERE: "name = 'value'" per key column
/// (a NULL as "name IS NULL"), in the form the record screens have always sent: a blank before the
/// first, "AND " right after each closing quote before the next. Empty without a key.
std::string whereByKey(const Connection& connection, const std::vector<KeyValue>& key);
/// Sets one field of the row the condition finds; a value of nothing writes NULL.
std::string updateRecordStatement(const Connection& connection, const std::string& database,
                                  const std::string& table, const std::string& column,
                                  const std::optional<std::string>& value, const std::string& where);
std::string deleteRecordStatement(const Connection& connection, const std::string& database,
                                  const std::string& table, const std::string& where);

/// The two statements of one refresh of the record list.
struct ListStatements {
    std::string page;
    std::string count;
    /// True when the rows are the filter's; a filter without any condition lets every row through,
    /// and the plain statements are used so that the list is not left empty by an unusable clause.
    bool filtered = false;
};
ListStatements listStatements(const ServerDialect& dialect, const std::string& database,
                              const std::string& table, const std::vector<std::string>& columnNames,
                              const FilterConditions& conditions, bool filterActive, int page,
                              int pageLength);

/// Status pane 0 after a refresh, with "検索結果 " in front for the filter's rows. The page is zero-based.
QString recordStatusText(const std::string& countText, const std::string& database, const std::string& table,
                         int page, bool filtered);
/// The record pane when the table's columns or rows cannot be read: where, and the server's "%d:%s".
QString listFailureText(const std::string& database, const std::string& table, unsigned int errorNumber,
                        const std::string& errorText);
/// The server's "%d:%s", whole.
QString serverMessage(unsigned int errorNumber, const std::string& errorText);
/// What the status bar says while a page of the table is read.
QString listReadingText(const std::string& database, const std::string& table);
/// What it says while the rows of a big table are counted after its page is shown.
QString listCountingText(const std::string& database, const std::string& table);
/// The message when the server refuses the filter's conditions: its whole answer.
QString filterRefusedText(const QString& serverMessage);
/// What a condition box expects: an operator and a value, as they follow the field's name.
QString filterHintText();

/// Status pane 3 after a refresh: the seconds until the result was there and until the rows were shown.
QString referenceTimeText(unsigned long resultSeconds, unsigned long doneSeconds);

/// The page that "next page" goes to: one further while rows of the record count lie beyond the
/// current page; the last page that holds rows is the last one.
int nextPageIndex(int recordCount, int currentPage, int pageLength);
/// The page that "previous page" goes to, or nothing on the first page.
std::optional<int> previousPageIndex(int currentPage);

/// The screen that opens a row of the record list.
enum class RowEditor { UserEditor, DbEditor, HostEditor, RecordDetails };
/// Only the grant tables of the mysql database get their editors; every other table, whatever its
/// name, gets the record details.
RowEditor rowEditorFor(const std::string& database, const std::string& table);
/// A row of mysql.user whose host, user and password cells are all empty names no account to edit.
bool userRowOpens(const QString& host, const QString& user, const QString& password);

}  // namespace velkin
