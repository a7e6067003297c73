#include "CopyText.h"

#include "session/SqlText.h"

namespace velkin {

std::string countStatement(std::string_view table) {
    return sqlf("select count(*) from %s", table);
}

std::string readAllStatement(std::string_view table) {
    return sqlf("select * from %s", table);
}

std::string showCreateStatement(std::string_view table) {
    return sqlf("Show create table %s;", table);
}

std::string createTextFromServer(Connection& connection, std::string_view table) {
    Result result = connection.select(showCreateStatement(table));
    Row row = result.fetchRow();
    return row ? row.str(1) : std::string();
}

std::string columnList(const std::vector<std::string>& names, const ServerDialect& dialect) {
    std::string list;
    for (const std::string& name : names) {
        if (!list.empty())
            list += ',';
        list += quoteName(name, dialect);
    }
    return list;
}

std::string insertHead(std::string_view table, std::string_view columns) {
    return sqlf("INSERT INTO %s ( %s ) VALUES ", table, columns);
}

void appendRowValues(std::string& out, const Row& row, const Connection& connection) {
    out += "( ";
    for (unsigned i = 0; i < row.size(); ++i) {
        if (i > 0)
            out += ',';
        if (row.isNull(i)) {
            out += "NULL";
            continue;
        }
        out += '\'';
        out += escapeValue(connection, row.text(i));
        out += '\'';
    }
    out += " )";
}

std::string copyStartEntry() {
    return "Data shift start\n";
}

std::string acquisitionStartEntry(long long offset) {
    return sqlf("Data acquisition start %d - %d     ", offset, offset + kCopyBlockRows);
}

std::string acquisitionSuccessEntry(long long offset) {
    return sqlf("Data acquisition success %d - %d\n", offset, offset + kCopyBlockRows);
}

std::string acquisitionFailureEntry() {
    return "Data acquisition failure\n";
}

std::string copyEndEntry() {
    return "Data shift end\n";
}

std::string failedInsertEntry(std::string_view statement) {
    return sqlf("\nError: Query=%s\n", statement);
}

std::string chosenDatabase(const Connection& connection, std::string_view database) {
    return database.empty() ? std::string() : quoteName(connection, database);
}

std::string createForNewName(std::string_view createText, std::string_view database, std::string_view table) {
    const std::size_t open = createText.find('(');
    if (open == std::string_view::npos)
        return std::string(createText);
    return sqlf("CREATE TABLE %s.%s %s", database, table, createText.substr(open));
}

std::string createForTableType(std::string_view createText, std::string_view keyword, std::string_view type) {
    if (createText.empty() || type.empty())
        return std::string(createText);
    const std::string clause = std::string(keyword) + "=";
    const std::size_t at = createText.find(clause);
    if (at == std::string_view::npos)
        return sqlf("%s %s%s", createText, clause, type);
    // The blank before the clause is written anew with it; anything else there belongs to the text.
    const bool blankBefore = at > 0 && createText[at - 1] == ' ';
    const std::string_view before = createText.substr(0, blankBefore ? at - 1 : at);
    const std::size_t blank = createText.find(' ', at);
    if (blank == std::string_view::npos)
        return sqlf("%s %s%s", before, clause, type);
    return sqlf("%s %s%s %s", before, clause, type, createText.substr(blank + 1));
}

}  // namespace velkin
