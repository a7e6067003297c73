#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CsvFileText.h"

namespace velkin {

/// One field of the file's records and the column it fills, already written as it must stand in
/// the statement. A generated column's field is read into its variable and dropped: the server
/// computes the column, and refuses a value for it.
struct LoadField {
    std::string column;
    bool generated = false;
};

/// What a column of the table is to a file of its rows, from the Extra cell of its SHOW FIELDS line.
enum class LoadColumnKind {
    /// A field of the file fills it.
    Value,
    /// The file has a field for it that the server must not be handed.
    Generated,
    /// Invisible: not among the rows' columns, so the file has no field for it.
    Absent,
};
LoadColumnKind loadColumnKind(std::string_view extra);

/// What the import screen's controls say about one LOAD DATA statement.
struct LoadDataOptions {
    std::string fileName;
    bool lowPriority = false;
    bool local = false;
    bool replace = false;
    /// The table, already written as it must stand in the statement.
    std::string target;
    /// The character set the file is read in (the session's); empty for the database's default.
    std::string characterSet;
    /// The four format texts as typed: \t \n \r \\ \0 stand for their characters, and an escape of
    /// "none" means no escape character at all.
    std::string fieldsTerminated;
    std::string fieldsEnclosed;
    std::string fieldsEscaped;
    std::string linesTerminated;
    /// Lines to skip, as typed; empty for none.
    std::string ignoreLines;
    /// The spelling that means NULL in the file, taken literally; nothing for the server's own rules.
    std::optional<std::string> nullText;
    /// The file's fields in order; needed to map the NULL spelling back and to drop the fields of
    /// generated columns. Empty: the server's own column order.
    std::vector<LoadField> fields;
};

/// Escapes a text for use between single quotes.
using EscapeText = std::function<std::string(std::string_view)>;

/// The escape field's word for "no escape character".
inline constexpr std::string_view kNoEscape = "none";

/// A typed format text with \t \n \r \\ and \0 turned into their characters; any other backslash
/// stays as it is.
std::string decodeFieldNotation(std::string_view typed);

/// Whether the server itself keeps the NULL spelling apart from a text of the same letters: only the
/// bare word NULL under a declared enclosure is NULL to it, while "NULL" in the enclosure stays a
/// text. Any other spelling reaches the statement after the enclosure is gone, so a quoted text that
/// is the spelling cannot be told from it.
bool serverKeepsNullApart(const std::optional<std::string>& nullText, std::string_view fieldsEnclosed);

/// The LOAD DATA statement for these options. The file name and the format texts are escaped after
/// their notation is decoded; the target, the columns and the line count are written as given. With
/// the fields, a generated column's field goes into a variable that is dropped, and where the server
/// does not keep the NULL spelling apart itself, each field goes through a variable that becomes
/// NULL when its bytes are exactly the spelling.
std::string loadDataStatement(const LoadDataOptions& options, const EscapeText& escape);

/// How the program reads a file of the client under these options: the format texts decoded, each
/// empty one the server's default, the escape "none" no escape at all.
CsvReadFormat csvReadFormat(const LoadDataOptions& options);

/// The LOAD DATA LOCAL statement for a file of the client that the program reads itself and hands
/// over in the server's own row form (see CsvRecordReader): the options' format texts are the
/// program's to read, so the statement names the row form instead. The file name stays, for the
/// server's process list; the fields of generated columns go into variables that are dropped.
std::string loadStreamStatement(const LoadDataOptions& options, const EscapeText& escape);

/// The numbers of the server's info line after LOAD DATA ("Records: 3  Deleted: 0  Skipped: 0
/// Warnings: 0"); nothing when the line does not have that form.
struct LoadDataCounts {
    unsigned long long records = 0;
    unsigned long long deleted = 0;
    unsigned long long skipped = 0;
    unsigned long long warnings = 0;
};
std::optional<LoadDataCounts> parseLoadDataInfo(std::string_view info);

/// What the operator is told after the server carried out the statement: "Data was imported
/// normally." only when no row was skipped and no warning raised; the server's line in every case,
/// and its first warning when there is one. When no record landed although the file had some, the
/// report opens by saying so ("Data was not imported: 0 of %llu records landed."), so that it never
/// reads like a mere warning.
/// readWarnings: what the reading of the file found that the table cannot hold as the file meant
/// it; with any, the report does not call the import normal.
std::string loadDataReport(std::string_view info, std::string_view firstWarning,
                           std::string_view readWarnings = {});

/// Said after the server read a file of its own under a NULL spelling it cannot keep apart from a
/// text of the same letters; empty where it can.
std::string serverNullWarning(const std::optional<std::string>& nullText, std::string_view fieldsEnclosed);

/// What the operator is told when the server refused the statement: whether anything stayed, then
/// the server's text. transactional: whether the table undoes a refused statement whole; nothing
/// when that could not be learnt.
std::string loadRefusedReport(std::optional<bool> transactional, std::string_view errorText);

/// What is known after a load that Stop or a broken read of the local file ended early.
struct LoadCutShort {
    /// The server ended the statement itself (errorLine says how); otherwise the client ended the
    /// file early and the server took the part that had arrived as if it were the whole file.
    bool serverEnded = true;
    /// Why the file's reading ended; empty when the operator stopped it.
    std::string readError;
    /// Whether the table undoes an ended statement whole; nothing when that could not be learnt.
    std::optional<bool> transactional;
    /// The records the table holds now, counted for a table that keeps what an ended load wrote.
    std::optional<unsigned long long> tableRecords;
    /// The records the server took of the part that arrived, when it took one.
    std::optional<unsigned long long> keptRecords;
    unsigned long long bytesSent = 0;
    unsigned long long fileBytes = 0;
    std::string errorLine;
};
/// Says what stayed in the table: nothing where a transactional table undid the ended statement,
/// the records read before the end where the table keeps them, the part the server took where the
/// client ended the file. Never reads like a success.
std::string loadCutShortReport(const LoadCutShort& facts);

}  // namespace velkin
