#include "ColumnFormText.h"

#include <algorithm>
#include <cctype>

#include "CopyStatements.h"
#include "session/ServerDialect.h"
#include "session/SqlText.h"

namespace velkin {

namespace {

constexpr std::string_view kImplicitRowStart = "row_start";
constexpr std::string_view kImplicitRowEnd = "row_end";

bool oneOf(std::string_view word, std::initializer_list<std::string_view> words) {
    return std::find(words.begin(), words.end(), word) != words.end();
}

/// The catalog's generation expression arrived with MariaDB 10.2 and MySQL 5.7.
bool catalogHasGenerationExpression(const ServerDialect& dialect) {
    const unsigned long version = dialect.version();
    return version == 0 || (dialect.isMariaDb() ? version >= 100200 : version >= 50700);
}

bool isSpatial(std::string_view dataType) {
    return oneOf(dataType, {"geometry", "point", "linestring", "polygon", "multipoint", "multilinestring",
                            "multipolygon", "geometrycollection", "geomcollection"});
}

}  // namespace

std::pair<std::string, std::string> TableColumns::periodColumns() const {
    std::pair<std::string, std::string> names{kImplicitRowStart, kImplicitRowEnd};
    for (const TableColumn& column : columns) {
        if (column.period == TableColumn::Period::RowStart)
            names.first = column.name;
        else if (column.period == TableColumn::Period::RowEnd)
            names.second = column.name;
    }
    return names;
}

std::string TableColumns::periodType() const {
    for (const TableColumn& column : columns)
        if (column.period == TableColumn::Period::RowStart)
            return column.dataType;
    return "timestamp";
}

std::string tableColumnsQuery(const Connection& connection, std::string_view database,
                              std::string_view table) {
    // Servers before generated columns had virtual ones, marked VIRTUAL or PERSISTENT alone; a default
    // expression's DEFAULT_GENERATED marks a column the copy must carry.
    return sqlf(
        "SELECT COLUMN_NAME, LOWER(DATA_TYPE), CHARACTER_SET_NAME, EXTRA LIKE '%%VIRTUAL GENERATED%%' OR "
        "EXTRA "
        "LIKE '%%STORED GENERATED%%' OR EXTRA IN ('VIRTUAL', 'PERSISTENT'), EXTRA LIKE '%%INVISIBLE%%', %s "
        "FROM information_schema.COLUMNS WHERE "
        "TABLE_SCHEMA = '%s' AND TABLE_NAME = '%s' ORDER BY ORDINAL_POSITION",
        catalogHasGenerationExpression(connection.dialect()) ? "GENERATION_EXPRESSION" : "NULL",
        escapeValue(connection, database), escapeValue(connection, table));
}

TableColumn tableColumnFromRow(const Row& row) {
    TableColumn column;
    column.name = row.str(0);
    column.dataType = row.str(1);
    column.characterSet = row.str(2);
    column.invisible = row.text(4) == "1";
    const std::string_view expression = row.text(5);
    if (expression == "ROW START")
        column.period = TableColumn::Period::RowStart;
    else if (expression == "ROW END")
        column.period = TableColumn::Period::RowEnd;
    else
        column.generated = row.text(3) == "1";
    return column;
}

std::string tableTypeQuery(const Connection& connection, std::string_view database, std::string_view table) {
    return sqlf(
        "SELECT TABLE_TYPE FROM information_schema.TABLES WHERE TABLE_SCHEMA = '%s' AND TABLE_NAME = '%s'",
        escapeValue(connection, database), escapeValue(connection, table));
}

TableKind tableKindFromType(std::string_view tableType) {
    if (tableType == "SYSTEM VERSIONED")
        return TableKind::SystemVersioned;
    if (tableType == "SEQUENCE")
        return TableKind::Sequence;
    if (tableType == "VIEW" || tableType == "SYSTEM VIEW")
        return TableKind::View;
    return TableKind::Table;
}

bool textComesBackExactly(std::string_view columnCharacterSet, std::string_view readCharacterSet) {
    if (columnCharacterSet.empty() || columnCharacterSet == "binary" || readCharacterSet.empty() ||
        readCharacterSet == "binary" || columnCharacterSet == readCharacterSet)
        return true;
    // Sets whose every character has one code point of its own, so that a trip through a Unicode
    // set that holds them all comes back unchanged; latin1 here maps all its 256 bytes.
    const bool wholeUnicode = oneOf(readCharacterSet, {"utf8mb4", "utf16", "utf16le", "utf32"});
    const bool planeZero = oneOf(readCharacterSet, {"utf8mb3", "utf8", "ucs2"});
    if (wholeUnicode)
        return oneOf(columnCharacterSet,
                     {"utf8mb4", "utf16", "utf16le", "utf32", "utf8mb3", "utf8", "ucs2", "latin1", "ascii"});
    if (planeZero)
        return oneOf(columnCharacterSet, {"utf8mb3", "utf8", "ucs2", "latin1", "ascii"});
    return columnCharacterSet == "ascii" && readCharacterSet == "latin1";
}

std::vector<CarriedColumn> carriedColumns(const TableColumns& table, const ServerDialect& dialect,
                                          std::string_view readCharacterSet, bool withHistory) {
    std::vector<CarriedColumn> carried;
    for (const TableColumn& column : table.columns) {
        if (column.generated)
            continue;
        if (column.period != TableColumn::Period::None && !withHistory)
            continue;
        const std::string name = quoteName(column.name, dialect);
        if (column.dataType == "float")
            carried.push_back({name, name + " + 0e0", ValueForm::Number});
        else if (column.dataType == "enum" || column.dataType == "set" || column.dataType == "bit")
            carried.push_back({name, name + " + 0", ValueForm::Number});
        else if (isSpatial(column.dataType))
            carried.push_back({name, name, ValueForm::Hex});
        else if (!textComesBackExactly(column.characterSet, readCharacterSet))
            carried.push_back({name, sqlf("CAST(%s AS BINARY)", name), ValueForm::Hex});
        else
            carried.push_back({name, name, ValueForm::Quoted});
    }
    if (withHistory && table.kind == TableKind::SystemVersioned) {
        const bool declared =
            std::any_of(table.columns.begin(), table.columns.end(),
                        [](const TableColumn& c) { return c.period != TableColumn::Period::None; });
        if (!declared) {
            const auto [start, end] = table.periodColumns();
            carried.push_back({quoteName(start, dialect), quoteName(start, dialect), ValueForm::Quoted});
            carried.push_back({quoteName(end, dialect), quoteName(end, dialect), ValueForm::Quoted});
        }
    }
    return carried;
}

std::string carriedSelectList(const std::vector<CarriedColumn>& columns) {
    std::string list;
    for (const CarriedColumn& column : columns) {
        if (!list.empty())
            list += ',';
        list += column.readExpression;
    }
    return list;
}

std::string carriedInsertList(const std::vector<CarriedColumn>& columns) {
    std::string list;
    for (const CarriedColumn& column : columns) {
        if (!list.empty())
            list += ',';
        list += column.name;
    }
    return list;
}

std::vector<ValueForm> valueForms(const std::vector<CarriedColumn>& columns) {
    std::vector<ValueForm> forms;
    for (const CarriedColumn& column : columns)
        forms.push_back(column.form);
    return forms;
}

std::string carriedReadStatement(std::string_view table, std::string_view selectList, bool withHistory) {
    return sqlf("select %s from %s%s", selectList, table, withHistory ? " FOR SYSTEM_TIME ALL" : "");
}

namespace {

void appendHex(std::string& out, std::string_view bytes) {
    static const char kHex[] = "0123456789ABCDEF";
    out += "X'";
    for (unsigned char c : bytes) {
        out += kHex[c >> 4];
        out += kHex[c & 15];
    }
    out += '\'';
}

/// Digits, sign, point and exponent only: what the server writes for a number.
bool isPlainNumber(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) {
        return std::isdigit(c) || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E';
    });
}

struct ValueRowCells {
    const ValueRow& row;
    unsigned size() const { return static_cast<unsigned>(row.size()); }
    bool isNull(unsigned i) const { return !row[i]; }
    std::string_view text(unsigned i) const {
        return row[i] ? std::string_view(*row[i]) : std::string_view();
    }
};

template <typename Cells>
void appendFormedValues(std::string& out, const Cells& row, const std::vector<ValueForm>& forms,
                        const Connection& connection, bool hexForFile) {
    out += "( ";
    for (unsigned i = 0; i < row.size(); ++i) {
        if (i > 0)
            out += ',';
        if (row.isNull(i)) {
            out += "NULL";
            continue;
        }
        const std::string_view text = row.text(i);
        const ValueForm form = i < forms.size() ? forms[i] : ValueForm::Quoted;
        if (form == ValueForm::Number && isPlainNumber(text)) {
            out.append(text);
        } else if (form == ValueForm::Hex ||
                   (hexForFile &&
                    text.find_first_of(std::string_view("\r\n\0\032", 4)) != std::string_view::npos)) {
            appendHex(out, text);
        } else {
            out += '\'';
            connection.appendEscaped(out, text);
            out += '\'';
        }
    }
    out += " )";
}

}  // namespace

void appendRowValues(std::string& out, const Row& row, const std::vector<ValueForm>& forms,
                     const Connection& connection, bool hexForFile) {
    appendFormedValues(out, row, forms, connection, hexForFile);
}

void appendRowValues(std::string& out, const ValueRow& row, const std::vector<ValueForm>& forms,
                     const Connection& connection, bool hexForFile) {
    appendFormedValues(out, ValueRowCells{row}, forms, connection, hexForFile);
}

void appendLoadDataRow(std::string& out, const Row& row, const std::vector<ValueForm>& forms) {
    static const char kHex[] = "0123456789ABCDEF";
    for (unsigned i = 0; i < row.size(); ++i) {
        if (i > 0)
            out += '\t';
        if (row.isNull(i)) {
            out += "\\N";
            continue;
        }
        const std::string_view text = row.text(i);
        if (i < forms.size() && forms[i] == ValueForm::Hex) {
            for (const char c : text) {
                out += kHex[(static_cast<unsigned char>(c) >> 4) & 0xF];
                out += kHex[static_cast<unsigned char>(c) & 0xF];
            }
        } else {
            appendLoadDataValue(out, text);
        }
    }
    out += '\n';
}

std::vector<ValueRow> parseLoadDataRows(std::string_view stream, const std::vector<ValueForm>& forms) {
    std::vector<ValueRow> rows = parseLoadDataRows(stream);
    auto nibble = [](char c) { return c <= '9' ? c - '0' : c - 'A' + 10; };
    for (ValueRow& row : rows)
        for (std::size_t i = 0; i < row.size() && i < forms.size(); ++i) {
            if (forms[i] != ValueForm::Hex || !row[i])
                continue;
            std::string bytes;
            const std::string& digits = *row[i];
            for (std::size_t k = 0; k + 1 < digits.size(); k += 2)
                bytes += static_cast<char>(nibble(digits[k]) * 16 + nibble(digits[k + 1]));
            row[i] = std::move(bytes);
        }
    return rows;
}

std::string copyLoadStatement(std::string_view table, std::string_view characterSet,
                              const std::vector<CarriedColumn>& columns) {
    std::string targets;
    std::string assignments;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i > 0)
            targets += ',';
        if (columns[i].form == ValueForm::Quoted) {
            targets += columns[i].name;
            continue;
        }
        const std::string variable = sqlf("@v%d", static_cast<int>(i + 1));
        targets += variable;
        assignments += assignments.empty() ? " SET " : ", ";
        // A FLOAT's digits are a double's; positions and BIT values are whole numbers up to 2^64 - 1,
        // which a double would round.
        const bool floating = columns[i].readExpression == columns[i].name + " + 0e0";
        assignments += columns[i].form == ValueForm::Hex ? sqlf("%s = UNHEX(%s)", columns[i].name, variable)
                       : floating                        ? sqlf("%s = %s + 0e0", columns[i].name, variable)
                                  : sqlf("%s = CAST(%s AS UNSIGNED)", columns[i].name, variable);
    }
    return copyLoadStatement(table, characterSet, targets) + assignments;
}

}  // namespace velkin
