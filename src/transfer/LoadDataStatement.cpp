#include "LoadDataStatement.h"

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

std::string loadDataStatement(const LoadDataOptions& o, const EscapeText& escape) {
    const auto quoted = [&](std::string_view typed) {
        return "'" + escape(decodeFieldNotation(typed)) + "'";
    };
    std::string sql = "LOAD DATA ";
    if (o.lowPriority)
        sql += "LOW_PRIORITY ";
    if (o.local)
        sql += "LOCAL ";
    sql += sqlf("INFILE '%s' ", escape(o.fileName));
    if (o.replace)
        sql += "REPLACE ";
    sql += sqlf("INTO TABLE %s ", o.target);
    if (!o.characterSet.empty())
        sql += sqlf("CHARACTER SET %s ", o.characterSet);
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
    if (o.nullText && !o.columns.empty()) {
        if (!o.ignoreLines.empty())
            sql += ' ';
        std::string variables;
        std::string assignments;
        const std::string nullText = escape(*o.nullText);
        for (std::size_t i = 0; i < o.columns.size(); ++i) {
            const std::string variable = "@v" + std::to_string(i + 1);
            if (i > 0) {
                variables += ", ";
                assignments += ", ";
            }
            variables += variable;
            assignments += sqlf("%s = NULLIF(%s, '%s')", o.columns[i], variable, nullText);
        }
        sql += sqlf("(%s) SET %s", variables, assignments);
    }
    return sql;
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

std::string loadDataReport(std::string_view info, std::string_view firstWarning) {
    const std::optional<LoadDataCounts> counts = parseLoadDataInfo(info);
    std::string text;
    if (counts && counts->skipped == 0 && counts->warnings == 0)
        text = "Data was imported normally.";
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
    return text;
}

}  // namespace velkin
