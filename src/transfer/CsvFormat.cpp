#include "CsvFormat.h"

#include <algorithm>
#include <cctype>

#include "session/Connection.h"
#include "session/SqlText.h"

namespace velkin {

CsvFormat::CsvFormat(CsvSeparator separator, CsvEnclosure enclosure, std::string userSeparator,
                     std::string userEnclosure, std::string nullText)
    : m_null(std::move(nullText)) {
    switch (separator) {
        case CsvSeparator::Comma:
            m_separator = ",";
            break;
        case CsvSeparator::Tab:
            m_separator = "\t";
            break;
        case CsvSeparator::User:
            m_separator = std::move(userSeparator);
            break;
    }
    switch (enclosure) {
        case CsvEnclosure::None:
            break;
        case CsvEnclosure::Single:
            m_enclosure = "'";
            break;
        case CsvEnclosure::Double:
            m_enclosure = "\"";
            break;
        case CsvEnclosure::User:
            m_enclosure = std::move(userEnclosure);
            break;
    }
}

namespace {
bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}
}  // namespace

bool CsvFormat::needsQuotes(std::string_view value) const {
    // A bare NULL is read as NULL by the server whenever an enclosure is declared, and a reader may
    // take the spelling in any case, so a text that reads as "NULL" or as the spelling in any case
    // is quoted.
    if (sameIgnoringCase(value, m_null) || sameIgnoringCase(value, "NULL"))
        return true;
    // Any character of the separator, not only the whole of it: a value ending in ':' before the
    // separator "::" would otherwise end one character early for the reader.
    if (!m_separator.empty() && value.find_first_of(m_separator) != std::string_view::npos)
        return true;
    return value.find_first_of("\"\r\n") != std::string_view::npos;
}

namespace {
void appendEnclosed(std::string& out, std::string_view value, std::string_view enclosure) {
    out += enclosure;
    std::size_t at = 0;
    for (std::size_t found; (found = value.find(enclosure, at)) != std::string_view::npos;
         at = found + enclosure.size()) {
        out.append(value.substr(at, found + enclosure.size() - at));
        out += enclosure;
    }
    out.append(value.substr(at));
    out += enclosure;
}
}  // namespace

void CsvFormat::appendPiece(std::string& line, const std::optional<std::string_view>& value) const {
    // NULL stays bare even under an enclosure: it is the one piece that is not a text.
    if (!value)
        line += m_null;
    else if (!m_enclosure.empty())
        appendEnclosed(line, *value, m_enclosure);
    else if (needsQuotes(*value))
        appendEnclosed(line, *value, "\"");
    else
        line += *value;
}

void CsvFormat::appendLine(std::string& out, const Row& row) const {
    for (unsigned i = 0; i < row.size(); ++i) {
        if (i > 0)
            out += m_separator;
        appendPiece(out, row.isNull(i) ? std::nullopt : std::optional<std::string_view>(row.text(i)));
    }
}

std::string csvReadBackProblem(const CsvFormat& format) {
    const std::string& separator = format.separator();
    // Without an enclosure of its own a value is put in double quotes where it needs them.
    const std::string enclosure = format.enclosure().empty() ? std::string("\"") : format.enclosure();
    const auto shares = [](std::string_view a, std::string_view b) {
        return a.find_first_of(b) != std::string_view::npos;
    };
    if (separator.empty())
        return "There is no separator: the values of a line run together.";
    if (shares(separator, enclosure + "\r\n"))
        return "The separator holds a character of the enclosure or a line break.";
    if (shares(format.enclosure(), "\r\n"))
        return "The enclosure holds a line break.";
    const std::string& null = format.nullText();
    if (null.empty())
        return "NULL is spelt as nothing, which the import takes for its default spelling.";
    if (shares(null, separator + enclosure + "\"\r\n"))
        return sqlf(
            "NULL is spelt \"%s\", which holds a character of the separator, of the enclosure, a "
            "quote or a line break.",
            null);
    return {};
}

std::string csvReadBackQuestion(std::string_view problem) {
    return sqlf("%s\nValues of this file cannot all come back when it is imported. May I write it anyway?",
                problem);
}

void appendCsvRecord(std::string& out, const CsvFormat& format, const Row& row) {
    format.appendLine(out, row);
    out += kCsvLineEnd;
}

std::string csvSampleStatement(const std::string& statement) {
    return sqlf("%s Limit 6", statement);
}

std::string csvProgressText(long firstRow) {
    return fmt::sprintf("Under a file output・・・%ld Record", firstRow);
}

std::string csvNotReadingText() {
    return "Only a statement that reads rows (SELECT, SHOW, DESCRIBE, EXPLAIN) can be output to a CSV "
           "file. Nothing was sent.";
}

std::string csvRefusedText(std::string_view errorLine) {
    return sqlf("The statement was refused; nothing was written.\n%s", errorLine);
}

std::string csvStoppedText(long long rows) {
    return sqlf("The output was stopped after %lld records; the file is incomplete.", rows);
}

std::string csvReadBrokenText(long long rows, std::string_view errorLine) {
    return sqlf("Reading the rows broke off after %lld records; the file is incomplete.\n%s", rows,
                errorLine);
}

std::string csvWriteFailedText(long long rows, std::string_view systemError) {
    return sqlf("Writing the file failed after %lld records (%s); the file is incomplete.", rows,
                systemError);
}

}  // namespace velkin
