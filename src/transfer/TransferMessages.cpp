#include "TransferMessages.h"

#include <algorithm>

#include <fmt/format.h>

#include "RowCopy.h"
#include "session/SqlText.h"
#include "widgets/ProgressText.h"

namespace velkin {

std::string scriptWriteFailedText(std::string_view systemError) {
    return sqlf("Writing the script failed (%s); the file is incomplete.", systemError);
}

std::string scriptNotWrittenText(std::string_view systemError) {
    return sqlf("Writing the script failed (%s); the file was left as it was.", systemError);
}

std::string scriptChangedText(std::string_view path) {
    return sqlf(
        "%s no longer holds the text that was loaded from it or saved in it.\n"
        "Replace what it holds with the query box's text?",
        path);
}

std::string scriptExistsText(std::string_view path) {
    return sqlf("%s already exists.\nReplace it with the query box's text?", path);
}

std::string dumpReadBrokenText(long long rows, std::string_view errorLine) {
    return sqlf("Dumping stopped: reading the rows broke off after %lld records; the file is incomplete.\n%s",
                rows, errorLine);
}

std::string dumpStoppedText(long long rows) {
    return sqlf("Dumping stopped after %lld records; the file is incomplete.", rows);
}

std::string dumpWriteFailedText(long long rows, std::string_view systemError) {
    return sqlf("Dumping stopped: writing the file failed after %lld records (%s); the file is incomplete.",
                rows, systemError);
}

namespace {

/// A copy that stopped because its destination went away: what surely landed, what may have, and
/// that the rest was never sent.
std::string lostDestinationText(const RowCopyOutcome& outcome) {
    std::string text =
        sqlf("The copy stopped: the connection to the destination was lost.\n%s\n", outcome.destinationLost);
    if (outcome.rowsUncertain > 0)
        text += sqlf("%lld records were copied; whether the %lld records sent last landed is unknown.",
                     outcome.rowsLanded, outcome.rowsUncertain);
    else if (outcome.rowsUncertain < 0)
        text += sqlf("%lld records were copied; whether the records sent last landed is unknown.",
                     outcome.rowsLanded);
    else
        text += sqlf("%lld records were copied.", outcome.rowsLanded);
    const long long uncertain = std::max(outcome.rowsUncertain, 0LL);
    if (outcome.sourceRows >= 0)
        text += sqlf("\n%lld records were not copied.",
                     std::max(outcome.sourceRows - outcome.rowsLanded - uncertain, 0LL));
    else
        text += "\nThe other records were not copied.";
    if (outcome.rowsFailed > 0)
        text += sqlf("\n%lld records were refused before that.", outcome.rowsFailed);
    return text;
}

}  // namespace

std::string notCarriedText(std::string_view what, std::string_view why) {
    return sqlf("%s was not carried: %s", what, why);
}

std::string dumpNotCarriedText(const std::vector<std::string>& items) {
    std::string text = "Dumping was finished, but the file does not hold everything:";
    for (const std::string& item : items)
        text += "\n- " + item;
    return text;
}

std::string copyOutcomeText(const RowCopyOutcome& outcome, std::string_view logName) {
    if (!outcome.destinationLost.empty())
        return lostDestinationText(outcome);
    if (outcome.stopped) {
        std::string text = sqlf("The copy was stopped: %lld records were copied.", outcome.rowsLanded);
        if (outcome.sourceRows >= 0)
            text += sqlf("\n%lld records were not copied.",
                         std::max(outcome.sourceRows - outcome.rowsLanded, 0LL));
        else
            text += "\nThe other records were not copied.";
        if (outcome.rowsFailed > 0)
            text += sqlf("\n%lld records were refused before that.", outcome.rowsFailed);
        return text;
    }
    if (!outcome.readFailed && outcome.rowsFailed == 0 && !outcome.logFailed && !outcome.historyLeft)
        return {};
    std::string text = outcome.readFailed || outcome.rowsFailed > 0
                           ? sqlf("The copy is incomplete: %lld records were copied.", outcome.rowsLanded)
                           : sqlf("%lld records were copied.", outcome.rowsLanded);
    if (outcome.rowsFailed > 0) {
        text +=
            logName.empty() || outcome.logFailed
                ? sqlf("\n%lld records were refused.", outcome.rowsFailed)
                : sqlf("\n%lld records were refused; they are logged in %s.", outcome.rowsFailed, logName);
    }
    if (outcome.readFailed)
        text += sqlf("\nReading the source broke off.\n%s", outcome.readError);
    if (outcome.logFailed && !logName.empty())
        text += sqlf("\nThe log %s could not be written.", logName);
    if (outcome.historyLeft)
        text +=
            "\nThe past versions of the rows were not copied: the destination cannot take a table's "
            "history.";
    return text;
}

namespace {

std::string megabytes(unsigned long long bytes) {
    return sqlf("%.1f MB", static_cast<double>(bytes) / (1024.0 * 1024.0));
}

}  // namespace

std::string importProgressText(unsigned long long sent, unsigned long long total, unsigned long long lines,
                               long long elapsedMs) {
    const long long seconds = elapsedMs / 1000;
    const unsigned long long perSecond =
        elapsedMs > 0 ? static_cast<unsigned long long>(static_cast<double>(lines) * 1000.0 / elapsedMs) : 0;
    return sqlf("%s of %s sent, %llu lines (%llu a second), %lld s", megabytes(sent), megabytes(total), lines,
                perSecond, seconds);
}

std::string serverReadsProgressText(long long elapsedMs) {
    return sqlf("The server reads the file: %lld s", elapsedMs / 1000);
}

std::string importFileNotOpenedText(std::string_view systemError) {
    return sqlf("The file could not be opened (%s); nothing was imported.", systemError);
}

std::string tableStageText(int number, int count, std::string_view table) {
    return sqlf("Table %d of %d, %s: ", number, count, table);
}

std::string databaseNotCreatedText(std::string_view typed, std::string_view errorLine) {
    return sqlf("The database %s could not be created; nothing was copied.\n%s", typed, errorLine);
}

std::string sameDatabaseText(std::string_view database) {
    return sqlf("%s is the source database itself; nothing was copied.", database);
}

std::string objectNotCreatedText(std::string_view name, std::string_view kind, std::string_view errorLine) {
    return sqlf("%s: the %s was not created.\n%s", name, kind, errorLine);
}

std::string triggersNotReadText(std::string_view table, std::string_view errorLine) {
    return sqlf("%s: its triggers could not be read, so none was copied.\n%s", table, errorLine);
}

std::string databaseCopyStoppedText(const std::vector<std::string>& notDone) {
    std::string text = "The copy was stopped; its views and triggers were not copied.";
    if (!notDone.empty()) {
        text += "\nThese tables were not copied:";
        for (const std::string& table : notDone)
            text += " " + table;
    }
    return text;
}

std::string databaseCopyIncompleteText(const std::string& problems) {
    return "The database was created, but the copy is incomplete.\n" + problems;
}

std::string consoleRunningText(int number, int total, int line, std::string_view since) {
    if (total <= 1)
        return fmt::format("Running since {}...", since);
    return fmt::format("Running statement {} of {} (line {}) since {}...", number, total, line, since);
}

std::string consoleProgressText(int number, int total, std::uint64_t affected, std::string_view figures) {
    return fmt::format("Statement {} of {}, {} {} affected; {}",
                       groupedNumber(static_cast<std::uint64_t>(number)),
                       groupedNumber(static_cast<std::uint64_t>(total)), groupedNumber(affected),
                       affected == 1 ? "row" : "rows", figures);
}

std::string consoleResultText(int statement, std::string_view head, std::uint64_t rows,
                              std::int64_t elapsedMs) {
    return fmt::format("{}: {} ({} {}, {:.3f} s)", statement, head, groupedNumber(rows),
                       rows == 1 ? "row" : "rows", static_cast<double>(elapsedMs) / 1000.0);
}

std::string consoleCutText(int limitMegabytes, std::uint64_t keptRows, std::uint64_t allRows) {
    return fmt::format(
        "The result is larger than the {} MB the console keeps: its first {} of {} rows are shown and the "
        "rest were read and dropped.\n\nExport the whole result to a CSV file instead?",
        limitMegabytes, keptRows, allRows);
}

std::string consoleStoppedText(int number, int total, int line, std::uint64_t rows) {
    std::string text;
    if (total <= 1)
        text = "The statement was stopped.";
    else if (line == 0)
        text = fmt::format(
            "The script was stopped after statement {} of {}; the statements after it were not sent.", number,
            total);
    else
        text = fmt::format(
            "The script was stopped at statement {} of {} (line {}); the {} before it were "
            "processed, the rest were not sent.",
            number, total, line, number - 1);
    if (rows > 0)
        text += fmt::format(" The list holds the {} records that arrived before the stop.", rows);
    return text;
}

}  // namespace velkin
