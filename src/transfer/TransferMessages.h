#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velkin {

struct RowCopyOutcome;

// What the operator is told when a script, dump or copy did not land whole. Each names what
// happened, how much arrived and what is incomplete; the screens keep their own success texts for
// work that landed whole.

/// The script file did not take the whole text (a full disk, a size limit).
std::string scriptWriteFailedText(std::string_view systemError);
/// The script was not written and the file keeps what it held.
std::string scriptNotWrittenText(std::string_view systemError);
/// Before "Save" writes over a file that no longer holds what the query box was loaded from or saved as.
std::string scriptChangedText(std::string_view path);
/// Before "Save as" writes over a file the chooser did not ask about (the name the extension was added to).
std::string scriptExistsText(std::string_view path);
/// The console's result field while statements run; total 0 or 1 for a single statement.
std::string consoleRunningText(int number, int total, int line, std::string_view since);
/// The console's progress line under a script: "Statement 12 of 40, 1,234 rows affected; " and the
/// figures of the bytes read.
std::string consoleProgressText(int number, int total, std::uint64_t affected, std::string_view figures);
/// One result of several: "2: SELECT a FROM t (3 rows, 0.012 s)".
std::string consoleResultText(int statement, std::string_view head, std::uint64_t rows,
                              std::int64_t elapsedMs);
/// The console's result field after Stop: statement number of total, from line, was cut (line 0: the
/// stop came between statements and number statements had ended); rows of its result arrived.
std::string consoleStoppedText(int number, int total, int line, std::uint64_t rows);
/// The question after a result outgrew the console's limit: what is shown, and the export instead.
std::string consoleCutText(int limitMegabytes, std::uint64_t keptRows, std::uint64_t allRows);

/// The dump's read broke off (errorLine: "%d:%s"); rows: the rows in the file.
std::string dumpReadBrokenText(long long rows, std::string_view errorLine);
/// The operator stopped the dump; rows: the rows in the file.
std::string dumpStoppedText(long long rows);
/// The dump file did not take all that was written to it.
std::string dumpWriteFailedText(long long rows, std::string_view systemError);
/// One thing a dump could not put into its file (what: "the trigger db.tr"), and why.
std::string notCarriedText(std::string_view what, std::string_view why);
/// The file holds what a dump could carry; items: notCarriedText entries.
std::string dumpNotCarriedText(const std::vector<std::string>& items);

/// The outcome of one table's row copy, empty when every row landed. logName: where refused rows
/// are logged; empty when there is no log.
std::string copyOutcomeText(const RowCopyOutcome& outcome, std::string_view logName);

/// The import's progress: bytes of the file sent so far, lines among them, their rate, the time.
std::string importProgressText(unsigned long long sent, unsigned long long total, unsigned long long lines,
                               long long elapsedMs);
/// While the server reads a file of its own host, the time it has taken is all there is to tell.
std::string serverReadsProgressText(long long elapsedMs);
/// The import's local file could not be opened, so nothing was sent.
std::string importFileNotOpenedText(std::string_view systemError);

/// Which table of a database copy is under way, before its progress figures: "Table 2 of 7, t2: ".
std::string tableStageText(int number, int count, std::string_view table);

/// The typed name is not a database on the server after "Create Database".
std::string databaseNotCreatedText(std::string_view typed, std::string_view errorLine);
/// The typed name is the source database under another spelling.
std::string sameDatabaseText(std::string_view database);
/// One table, view, sequence or trigger (kind) of a database duplicate that the server would not
/// create.
std::string objectNotCreatedText(std::string_view name, std::string_view kind, std::string_view errorLine);
/// The triggers of a table could not be listed, so none was made again.
std::string triggersNotReadText(std::string_view table, std::string_view errorLine);
/// A database copy the operator stopped: the tables it did not begin, and that views and triggers
/// were left out.
std::string databaseCopyStoppedText(const std::vector<std::string>& notDone);
/// The database exists but not everything arrived; problems: one entry per table, each a text above
/// or a copy outcome headed by its table's name.
std::string databaseCopyIncompleteText(const std::string& problems);

}  // namespace velkin
