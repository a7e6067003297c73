#include "LoadDataStatement.h"

#include <cctype>
#include <cstdlib>

#include "session/SqlText.h"

namespace velkin {

std::string decodeFieldNotation(std::string_view typed) {
    std::string out;
    out.reserve(typed.size());
    for (std::size_t i = 0; i < typed.size(); ++i) {
        if (typed[i] != '\\' || i + 1 == typed.size()) {
            out.push_back(typed[i]);
            continue;
        }
        switch (typed[i + 1]) {
            case 't':
                out.push_back('\t');
                break;
            case 'n':
                out.push_back('\n');
                break;
            case 'r':
                out.push_back('\r');
                break;
            case '\\':
                out.push_back('\\');
                break;
            case '0':
                out.push_back('\0');
                break;
            default:
                out.push_back('\\');
                continue;
        }
        ++i;
    }
    return out;
}

LoadColumnKind loadColumnKind(std::string_view extra) {
    // Extra is a list of words ("VIRTUAL GENERATED, INVISIBLE"); older servers say VIRTUAL or
    // PERSISTENT alone, and DEFAULT_GENERATED (a default expression) is one word of its own.
    bool generated = false;
    std::size_t at = 0;
    while (at < extra.size()) {
        const auto isWordChar = [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
        };
        if (!isWordChar(extra[at])) {
            ++at;
            continue;
        }
        std::string word;
        for (; at < extra.size() && isWordChar(extra[at]); ++at)
            word.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(extra[at]))));
        if (word == "INVISIBLE")
            return LoadColumnKind::Absent;
        if (word == "GENERATED" || word == "VIRTUAL" || word == "PERSISTENT" || word == "STORED")
            generated = true;
    }
    return generated ? LoadColumnKind::Generated : LoadColumnKind::Value;
}

bool serverKeepsNullApart(const std::optional<std::string>& nullText, std::string_view fieldsEnclosed) {
    return nullText && *nullText == "NULL" && !fieldsEnclosed.empty();
}

namespace {

/// The statement up to its FIELDS clause: what the file is and where its rows go.
std::string loadDataHead(const LoadDataOptions& o, bool local, const EscapeText& escape) {
    std::string sql = "LOAD DATA ";
    if (o.lowPriority)
        sql += "LOW_PRIORITY ";
    if (local)
        sql += "LOCAL ";
    sql += sqlf("INFILE '%s' ", escape(o.fileName));
    if (o.replace)
        sql += "REPLACE ";
    sql += sqlf("INTO TABLE %s ", o.target);
    if (!o.characterSet.empty())
        sql += sqlf("CHARACTER SET %s ", o.characterSet);
    return sql;
}

}  // namespace

std::string loadDataStatement(const LoadDataOptions& o, const EscapeText& escape) {
    const auto quoted = [&](std::string_view typed) {
        return "'" + escape(decodeFieldNotation(typed)) + "'";
    };
    std::string sql = loadDataHead(o, o.local, escape);
    if (!o.fieldsTerminated.empty() || !o.fieldsEnclosed.empty() || !o.fieldsEscaped.empty()) {
        sql += "FIELDS ";
        if (!o.fieldsTerminated.empty())
            sql += sqlf("TERMINATED BY %s ", quoted(o.fieldsTerminated));
        if (!o.fieldsEnclosed.empty())
            sql += sqlf("OPTIONALLY ENCLOSED BY %s ", quoted(o.fieldsEnclosed));
        if (o.fieldsEscaped == kNoEscape)
            sql += "ESCAPED BY '' ";
        else if (!o.fieldsEscaped.empty())
            sql += sqlf("ESCAPED BY %s ", quoted(o.fieldsEscaped));
    }
    if (!o.linesTerminated.empty())
        sql += sqlf("LINES TERMINATED BY %s ", quoted(o.linesTerminated));
    if (!o.ignoreLines.empty())
        sql += sqlf("IGNORE %s LINES", o.ignoreLines);
    if (!o.fields.empty()) {
        if (!o.ignoreLines.empty())
            sql += ' ';
        // The comparison is by bytes: under the file's collation "(NULL)", "(null) " or, for the
        // spelling \N, the text \n would equal the spelling and be lost.
        const bool mapNull = o.nullText && !serverKeepsNullApart(o.nullText, o.fieldsEnclosed);
        const std::string nullText = mapNull ? escape(*o.nullText) : std::string();
        std::string targets;
        std::string assignments;
        for (std::size_t i = 0; i < o.fields.size(); ++i) {
            const LoadField& field = o.fields[i];
            const std::string variable = "@v" + std::to_string(i + 1);
            if (i > 0)
                targets += ", ";
            if (!field.generated && !mapNull) {
                targets += field.column;
                continue;
            }
            targets += variable;
            if (field.generated)
                continue;
            if (!assignments.empty())
                assignments += ", ";
            assignments += sqlf("%s = IF(CAST(%s AS BINARY) = '%s', NULL, %s)", field.column, variable,
                                nullText, variable);
        }
        sql += sqlf("(%s)", targets);
        if (!assignments.empty())
            sql += sqlf(" SET %s", assignments);
    }
    return sql;
}

CsvReadFormat csvReadFormat(const LoadDataOptions& o) {
    CsvReadFormat f;
    if (!o.fieldsTerminated.empty())
        f.separator = decodeFieldNotation(o.fieldsTerminated);
    f.enclosure = decodeFieldNotation(o.fieldsEnclosed);
    if (o.fieldsEscaped == kNoEscape)
        f.escape.clear();
    else if (!o.fieldsEscaped.empty())
        f.escape = decodeFieldNotation(o.fieldsEscaped);
    if (!o.linesTerminated.empty())
        f.lineEnd = decodeFieldNotation(o.linesTerminated);
    f.nullText = o.nullText;
    // A count the server does not take as a number refuses the statement; nothing is skipped then.
    if (!o.ignoreLines.empty() && o.ignoreLines.find_first_not_of("0123456789") == std::string::npos)
        f.ignoredRecords = std::strtoull(o.ignoreLines.c_str(), nullptr, 10);
    return f;
}

std::string loadStreamStatement(const LoadDataOptions& o, const EscapeText& escape) {
    std::string sql = loadDataHead(o, true, escape);
    // Named although they are the server's defaults: the rows are in this form whatever the
    // server's defaults are.
    sql += sqlf("FIELDS TERMINATED BY '%s' ESCAPED BY '%s' LINES TERMINATED BY '%s' ", escape("\t"),
                escape("\\"), escape("\n"));
    // Each record is one line of the rows, so the server skips records, however many lines of the
    // file each one took.
    if (!o.ignoreLines.empty())
        sql += sqlf("IGNORE %s LINES", o.ignoreLines);
    if (o.fields.empty())
        return sql;
    if (!o.ignoreLines.empty())
        sql += ' ';
    std::string targets;
    for (std::size_t i = 0; i < o.fields.size(); ++i) {
        if (i > 0)
            targets += ", ";
        targets += o.fields[i].generated ? "@v" + std::to_string(i + 1) : o.fields[i].column;
    }
    return sql + sqlf("(%s)", targets);
}

std::optional<LoadDataCounts> parseLoadDataInfo(std::string_view info) {
    LoadDataCounts counts;
    struct Item {
        std::string_view name;
        unsigned long long* value;
    };
    const Item items[] = {{"Records: ", &counts.records},
                          {"Deleted: ", &counts.deleted},
                          {"Skipped: ", &counts.skipped},
                          {"Warnings: ", &counts.warnings}};
    std::size_t at = 0;
    for (const Item& item : items) {
        const std::size_t found = info.find(item.name, at);
        if (found == std::string_view::npos)
            return std::nullopt;
        at = found + item.name.size();
        const std::size_t digits = info.find_first_not_of("0123456789", at);
        const std::string number(info.substr(at, digits == std::string_view::npos ? digits : digits - at));
        if (number.empty())
            return std::nullopt;
        *item.value = std::strtoull(number.c_str(), nullptr, 10);
        at += number.size();
    }
    return counts;
}

std::string loadDataReport(std::string_view info, std::string_view firstWarning,
                           std::string_view readWarnings) {
    const std::optional<LoadDataCounts> counts = parseLoadDataInfo(info);
    std::string text;
    if (counts && counts->skipped == 0 && counts->warnings == 0 && readWarnings.empty())
        text = "Data was imported normally.";
    else if (counts && counts->records > 0 && counts->skipped >= counts->records)
        text = sqlf("Data was not imported: 0 of %llu records landed.", counts->records);
    if (!info.empty()) {
        if (!text.empty())
            text += '\n';
        text += info;
    }
    if (!firstWarning.empty()) {
        if (!text.empty())
            text += '\n';
        text += firstWarning;
    }
    if (!readWarnings.empty()) {
        if (!text.empty())
            text += '\n';
        text += readWarnings;
    }
    return text;
}

std::string serverNullWarning(const std::optional<std::string>& nullText, std::string_view fieldsEnclosed) {
    if (!nullText || serverKeepsNullApart(nullText, fieldsEnclosed))
        return {};
    return sqlf(
        "The server read the file: a text \"%s\" in it, enclosed or not, became NULL as well. The file of "
        "a client is read exactly.",
        *nullText);
}

std::string loadRefusedReport(std::optional<bool> transactional, std::string_view errorText) {
    // A table without transactions keeps what the server wrote before it stopped.
    const char* what = transactional && *transactional
                           ? "Data was not imported: the server refused the load, and the table kept none "
                             "of its records."
                           : "Data was not imported in full: the server stopped the load, and records read "
                             "before it stopped may stay in the table.";
    return sqlf("%s\n%s", what, errorText);
}

std::string loadCutShortReport(const LoadCutShort& facts) {
    std::string text = facts.readError.empty() ? std::string("The import was stopped while it ran")
                                               : sqlf("Reading the file failed (%s)", facts.readError);
    if (!facts.serverEnded) {
        text += sqlf(
            " after %llu of %llu bytes of the file were sent: the server took that part as the "
            "whole file",
            facts.bytesSent, facts.fileBytes);
        return text + (facts.keptRecords
                           ? sqlf(", and its %llu records stay in the table.", *facts.keptRecords)
                           : std::string(", and its records stay in the table."));
    }
    if (facts.transactional && *facts.transactional)
        text += ": the server ended the load, and the table kept none of its records.";
    else if (facts.transactional && facts.tableRecords)
        text += sqlf(
            ": the server ended the load; the records it had read stay in the table, which now "
            "holds %llu records.",
            *facts.tableRecords);
    else
        text += ": the server ended the load; records it had read before may stay in the table.";
    if (!facts.errorLine.empty())
        text += "\n" + facts.errorLine;
    return text;
}

}  // namespace velkin
