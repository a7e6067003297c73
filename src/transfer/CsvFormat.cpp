#include "CsvFormat.h"

#include "session/Connection.h"
#include "session/SqlText.h"

namespace velkin {

CsvFormat::CsvFormat(CsvSeparator separator, CsvEnclosure enclosure, std::string userSeparator,
                     std::string userEnclosure) {
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

void CsvFormat::appendPiece(std::string& line, const std::optional<std::string_view>& value) const {
    line += m_enclosure;
    line += value ? *value : kCsvNull;
    line += m_enclosure;
    line += m_separator;
}

std::string CsvFormat::piece(const std::optional<std::string_view>& value) const {
    std::string text;
    appendPiece(text, value);
    return text;
}

namespace {
// The line loses exactly one byte at its end, whatever the last piece ended with: a separator of
// two characters keeps one, an empty separator costs the value its last byte.
void dropLastByte(std::string& out, std::size_t lineStart) {
    if (out.size() > lineStart)
        out.pop_back();
}
}  // namespace

std::string CsvFormat::line(const std::vector<std::optional<std::string_view>>& values) const {
    std::string text;
    for (const auto& v : values)
        appendPiece(text, v);
    dropLastByte(text, 0);
    return text;
}

void CsvFormat::appendLine(std::string& out, const Row& row) const {
    const std::size_t start = out.size();
    for (unsigned i = 0; i < row.size(); ++i) {
        out += m_enclosure;
        out += row.isNull(i) ? kCsvNull : row.text(i);
        out += m_enclosure;
        out += m_separator;
    }
    dropLastByte(out, start);
}

std::string csvSampleLine(const CsvFormat& format,
                          const std::vector<std::optional<std::string_view>>& values) {
    return format.line(values) + "\r\n";
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

std::string csvReadBrokenText(long long rows, std::string_view errorLine) {
    return sqlf("Reading the rows broke off after %lld records; the file is incomplete.\n%s", rows,
                errorLine);
}

std::string csvWriteFailedText(long long rows, std::string_view systemError) {
    return sqlf("Writing the file failed after %lld records (%s); the file is incomplete.", rows,
                systemError);
}

}  // namespace velkin
