#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "CopyText.h"
#include "session/Connection.h"

namespace velkin {

class ServerDialect;

// How each column of a table travels as text, so that a dump or a copy reads every column that
// belongs to the rows and writes each value back bit for bit:
//   readTableColumns (TableColumns.h) -> carriedColumns -> carriedSelectList / carriedInsertList /
//   valueForms -> one read (carriedReadStatement) -> appendRowValues with the forms.
// "select *" would leave INVISIBLE columns out, name generated ones (which the server refuses to be
// given) and read FLOAT with six digits; these functions do none of that.

/// What information_schema.TABLES says a table is.
enum class TableKind { Table, SystemVersioned, Sequence, View };

/// One column as information_schema.COLUMNS describes it.
struct TableColumn {
    /// As the server spells it, unquoted.
    std::string name;
    /// DATA_TYPE in small letters: "int", "float", "enum", "point", "inet6".
    std::string dataType;
    /// CHARACTER_SET_NAME; empty for a column that holds no text.
    std::string characterSet;
    /// VIRTUAL or STORED (PERSISTENT): the server computes the value and refuses one given.
    bool generated = false;
    /// Left out by "select *" and by an INSERT without a column list.
    bool invisible = false;
    /// The row start and row end columns of a system-versioned table that declares them.
    enum class Period { None, RowStart, RowEnd } period = Period::None;
};

/// A table's kind and its columns in their order.
struct TableColumns {
    TableKind kind = TableKind::Table;
    std::vector<TableColumn> columns;
    /// False when the catalog knew no column (a server without information_schema, a vanished table).
    bool found() const { return !columns.empty(); }
    /// The row start and row end columns of a system-versioned table: the declared ones, or the
    /// implicit row_start and row_end (which the catalog does not list).
    std::pair<std::string, std::string> periodColumns() const;
    /// The data type of the row start column ("timestamp", or "bigint" when versioned by
    /// transaction); "timestamp" for the implicit one.
    std::string periodType() const;
};

/// The columns of one table in order: name, data type, character set, generated (1 or 0),
/// invisible (1 or 0) and the generation expression ("ROW START" and "ROW END" for the period
/// columns; NULL on servers whose catalog has none). database and table are plain names.
std::string tableColumnsQuery(const Connection& connection, std::string_view database,
                              std::string_view table);
/// One line of tableColumnsQuery's answer.
TableColumn tableColumnFromRow(const Row& row);
/// "SELECT TABLE_TYPE FROM information_schema.TABLES ..." for one table.
std::string tableTypeQuery(const Connection& connection, std::string_view database, std::string_view table);
/// TABLE_TYPE as a kind: "SYSTEM VERSIONED", "SEQUENCE", "VIEW"; anything else is a table.
TableKind tableKindFromType(std::string_view tableType);

/// How a value is written into a statement.
enum class ValueForm {
    /// Between single quotes, escaped by the connection that runs the statement.
    Quoted,
    /// X'..' of its bytes: texts whose characters do not survive a conversion, spatial values.
    Hex,
    /// Bare, as the server gave it: ENUM and SET positions, BIT values, whole and floating numbers.
    Number
};

/// One column as it travels: the expression that reads it, the name it is written under and the
/// form its value takes.
struct CarriedColumn {
    /// Quoted for statements.
    std::string name;
    std::string readExpression;
    ValueForm form = ValueForm::Quoted;
};

/// Whether the characters of a column in columnCharacterSet come back unchanged when its rows arrive
/// in readCharacterSet (character_set_results; empty or "binary" when they arrive unconverted) and
/// are written back in it. Characters of sjis, cp932, big5, gbk and most other sets outside Unicode
/// have no mapping, or share one, and come back as "?" or as other codes.
bool textComesBackExactly(std::string_view columnCharacterSet, std::string_view readCharacterSet);

/// The columns a copy or a dump carries, in table order, invisible ones included; generated columns
/// are left to the server, and so are the row start and row end columns unless withHistory. Each
/// reads in the form that comes back bit for bit: FLOAT widened to DOUBLE (every digit a FLOAT has),
/// ENUM and SET as their positions (an ENUM's error value 0 included), BIT as its number, spatial
/// values and texts that textComesBackExactly refuses as their bytes in hexadecimal.
std::vector<CarriedColumn> carriedColumns(const TableColumns& table, const ServerDialect& dialect,
                                          std::string_view readCharacterSet, bool withHistory);
/// The read expressions joined by ",".
std::string carriedSelectList(const std::vector<CarriedColumn>& columns);
/// The quoted names joined by ",", for "INSERT INTO table ( list )".
std::string carriedInsertList(const std::vector<CarriedColumn>& columns);
std::vector<ValueForm> valueForms(const std::vector<CarriedColumn>& columns);
/// "select list from table", with " FOR SYSTEM_TIME ALL" when the history is read too.
std::string carriedReadStatement(std::string_view table, std::string_view selectList, bool withHistory);

/// Appends "( v1,v2,... )": each value in its column's form, NULL as the keyword. With hexForFile a
/// quoted value that a script file cannot carry between quotes (a line break under
/// NO_BACKSLASH_ESCAPES, a zero byte, ctrl-Z) goes in hexadecimal instead. A Number value that is
/// not a plain number is quoted.
void appendRowValues(std::string& out, const Row& row, const std::vector<ValueForm>& forms,
                     const Connection& connection, bool hexForFile = false);
void appendRowValues(std::string& out, const ValueRow& row, const std::vector<ValueForm>& forms,
                     const Connection& connection, bool hexForFile = false);

/// appendLoadDataRow with the forms: a Hex value travels as the hexadecimal digits of its bytes, so
/// that no conversion of the stream's character set touches it.
void appendLoadDataRow(std::string& out, const Row& row, const std::vector<ValueForm>& forms);
/// parseLoadDataRows with the forms: Hex values back as their bytes.
std::vector<ValueRow> parseLoadDataRows(std::string_view stream, const std::vector<ValueForm>& forms);
/// The copy's LOAD DATA for a stream written with the forms: a Hex column's digits are turned back
/// into its bytes, and a Number column's text into the number (an ENUM's or SET's position, a BIT's
/// value) on the server.
std::string copyLoadStatement(std::string_view table, std::string_view characterSet,
                              const std::vector<CarriedColumn>& columns);

}  // namespace velkin
