#include "RecordListText.h"

#include "session/ServerDialect.h"
#include "session/SqlText.h"

namespace velkin {

std::string pageStatement(const ServerDialect& dialect, const std::string& database, const std::string& table,
                          int page, int pageLength) {
    return sqlf("select * from %s.%s LIMIT %d,%d", quoteName(database, dialect), quoteName(table, dialect),
                page * pageLength, pageLength);
}

std::string countStatement(const ServerDialect& dialect, const std::string& database,
                           const std::string& table) {
    return sqlf("select count(*) from %s.%s", quoteName(database, dialect), quoteName(table, dialect));
}

std::string whereByKey(const Connection& connection, const std::vector<KeyValue>& key) {
    std::string clause;
    bool afterNull = false;
    for (const KeyValue& part : key) {
        const std::string name = quoteName(connection, part.column);
        // A closing quote ends a value's word by itself; the keyword NULL needs the blank.
        clause += clause.empty() ? " " : afterNull ? " AND " : "AND ";
        clause += part.value ? sqlf("%s = %s", name, quoteValue(connection, *part.value))
                             : sqlf("%s IS NULL", name);
        afterNull = !part.value;
    }
    return clause;
}

std::string updateRecordStatement(const Connection& connection, const std::string& database,
                                  const std::string& table, const std::string& column,
                                  const std::optional<std::string>& value, const std::string& where) {
    const std::optional<std::string_view> literal =
        value ? std::optional<std::string_view>(*value) : std::nullopt;
    return sqlf("UPDATE %s SET %s=%s WHERE %s LIMIT 1", qualifiedName(connection, database, table),
                quoteName(connection, column), quoteValue(connection, literal), where);
}

std::string deleteRecordStatement(const Connection& connection, const std::string& database,
                                  const std::string& table, const std::string& where) {
    return sqlf("DELETE FROM %s WHERE %s LIMIT 1", qualifiedName(connection, database, table), where);
}

std::string filterConditionsText(const ServerDialect& dialect, const std::vector<std::string>& columnNames,
                                 const FilterConditions& conditions) {
    std::string conditionsText;
    for (std::size_t column = 0; column < columnNames.size(); ++column) {
        for (const auto& set : conditions) {
            if (column >= set.size() || set[column].empty())
                continue;
            // The condition is the operator's own SQL and goes in as typed; only the name is ours.
            conditionsText += sqlf(conditionsText.empty() ? "%s %s" : " AND %s %s",
                                   quoteName(columnNames[column], dialect), set[column]);
        }
    }
    return conditionsText;
}

std::string filterClause(const ServerDialect& dialect, const std::string& database, const std::string& table,
                         const std::vector<std::string>& columnNames, const FilterConditions& conditions) {
    const std::string conditionsText = filterConditionsText(dialect, columnNames, conditions);
    if (conditionsText.empty())
        return {};
    return sqlf("from %s.%s  WHERE ", quoteName(database, dialect), quoteName(table, dialect)) +
           conditionsText;
}

std::string filteredCountStatement(const std::string& clause) {
    return "Select count(*) " + clause;
}

std::string filteredPageStatement(const std::string& clause, int page, int pageLength) {
    return "Select * " + clause + sqlf(" LIMIT %d,%d", page * pageLength, pageLength);
}

ListStatements listStatements(const ServerDialect& dialect, const std::string& database,
                              const std::string& table, const std::vector<std::string>& columnNames,
                              const FilterConditions& conditions, bool filterActive, int page,
                              int pageLength) {
    if (filterActive) {
        std::string clause = filterClause(dialect, database, table, columnNames, conditions);
        if (!clause.empty())
            return {filteredPageStatement(clause, page, pageLength), filteredCountStatement(clause), true};
    }
    return {pageStatement(dialect, database, table, page, pageLength),
            countStatement(dialect, database, table), false};
}

QString recordStatusText(const std::string& countText, const std::string& database, const std::string& table,
                         int page, bool filtered) {
    QString text = textf("Record : %s  Database: %s  Table: %s  Current Page : %d", countText, database,
                         table, page + 1);
    return filtered ? QStringLiteral("検索結果 ") + text : text;
}

QString referenceTimeText(unsigned long resultSeconds, unsigned long doneSeconds) {
    return textf("Reference time : RES %lu s FREE %lu s", resultSeconds, doneSeconds);
}

QString listFailureText(const std::string& database, const std::string& table, unsigned int errorNumber,
                        const std::string& errorText) {
    return textf("Database: %s  Table: %s  %d:%s", database, table, errorNumber, errorText);
}

QString serverMessage(unsigned int errorNumber, const std::string& errorText) {
    return textf("%d:%s", errorNumber, errorText);
}

QString filterRefusedText(const QString& serverMessage) {
    return QStringLiteral(
               "The server did not accept the filter's conditions:\n\n%1\n\n"
               "Each condition follows the field's name, as in %2.")
        .arg(serverMessage, filterHintText());
}

QString filterHintText() {
    return QStringLiteral("= 'Osaka'  or  LIKE 'Osa%'  or  > 10  or  IS NULL");
}

int nextPageIndex(int recordCount, int currentPage, int pageLength) {
    if (recordCount == 0 || pageLength <= 0)
        return currentPage;
    const int lastPage = recordCount > 0 ? (recordCount - 1) / pageLength : 0;
    return currentPage < lastPage ? currentPage + 1 : currentPage;
}

std::optional<int> previousPageIndex(int currentPage) {
    if (currentPage > 0)
        return currentPage - 1;
    return std::nullopt;
}

RowEditor rowEditorFor(const std::string& database, const std::string& table) {
    if (database == "mysql") {
        if (table == "user")
            return RowEditor::UserEditor;
        if (table == "db")
            return RowEditor::DbEditor;
        if (table == "host")
            return RowEditor::HostEditor;
    }
    return RowEditor::RecordDetails;
}

bool userRowOpens(const QString& host, const QString& user, const QString& password) {
    return !(host.isEmpty() && user.isEmpty() && password.isEmpty());
}

QString listReadingText(const std::string& database, const std::string& table) {
    return QString::fromStdString("Reading the records of " + database + "." + table);
}

QString listCountingText(const std::string& database, const std::string& table) {
    return QString::fromStdString("Counting the records of " + database + "." + table);
}

}  // namespace velkin
