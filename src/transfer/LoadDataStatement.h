#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velkin {

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
    /// The target's columns, each already written as it must stand in the statement; needed to map
    /// the NULL spelling back.
    std::vector<std::string> columns;
};

/// Escapes a text for use between single quotes.
using EscapeText = std::function<std::string(std::string_view)>;

/// The escape field's word for "no escape character".
inline constexpr std::string_view kNoEscape = "none";

/// A typed format text with \t \n \r \\ and \0 turned into their characters; any other backslash
/// stays as it is.
std::string decodeFieldNotation(std::string_view typed);

/// The LOAD DATA statement for these options. The file name and the format texts are escaped after
/// their notation is decoded; the target, the columns and the line count are written as given. With
/// a NULL spelling and the columns, every field goes through a user variable and comes back as NULL
/// when it is that spelling.
std::string loadDataStatement(const LoadDataOptions& options, const EscapeText& escape);

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
/// and its first warning when there is one.
std::string loadDataReport(std::string_view info, std::string_view firstWarning);

}  // namespace velkin
