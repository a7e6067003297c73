#include "TransferMessages.h"

#include "RowCopy.h"
#include "session/SqlText.h"

namespace velkin {

std::string scriptWriteFailedText(std::string_view systemError) {
    return sqlf("Writing the script failed (%s); the file is incomplete.", systemError);
}

std::string dumpReadBrokenText(long long rows, std::string_view errorLine) {
    return sqlf("Dumping stopped: reading the rows broke off after %lld records; the file is incomplete.\n%s",
                rows, errorLine);
}

std::string dumpWriteFailedText(long long rows, std::string_view systemError) {
    return sqlf("Dumping stopped: writing the file failed after %lld records (%s); the file is incomplete.",
                rows, systemError);
}

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
    if (!outcome.readFailed && outcome.rowsFailed == 0 && !outcome.logFailed)
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
    return text;
}

std::string databaseNotCreatedText(std::string_view typed, std::string_view errorLine) {
    return sqlf("The database %s could not be created; nothing was copied.\n%s", typed, errorLine);
}

std::string sameDatabaseText(std::string_view database) {
    return sqlf("%s is the source database itself; nothing was copied.", database);
}

std::string objectNotCreatedText(std::string_view name, bool view, std::string_view errorLine) {
    return sqlf("%s: the %s was not created.\n%s", name, view ? "view" : "table", errorLine);
}

std::string databaseCopyIncompleteText(const std::string& problems) {
    return "The database was created, but the copy is incomplete.\n" + problems;
}

}  // namespace velkin
