#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velkin {

class Row;

/// The field separator of an exported line: the two list entries or the operator's own text.
enum class CsvSeparator { Comma, Tab, User };
/// The enclosure of each value: the three list entries or the operator's own text.
enum class CsvEnclosure { None, Single, Double, User };

/// The text a NULL value is written as unless the operator chooses another.
inline constexpr std::string_view kCsvNull = "(null)";

/// How each value of an exported line is written, so that any CSV reader (and the import) reads the
/// same values back: an enclosure inside an enclosed value is doubled, and without an enclosure a
/// value that holds the separator, a double quote or a line break is put in double quotes. Line breaks
/// inside values stay as they are. NULL is written bare in its spelling; a text equal to that spelling
/// is enclosed, so the two differ in the file.
class CsvFormat {
public:
    CsvFormat(CsvSeparator separator, CsvEnclosure enclosure, std::string userSeparator = {},
              std::string userEnclosure = {}, std::string nullText = std::string(kCsvNull));

    /// One value as it stands in the line, without a separator, appended to line.
    void appendPiece(std::string& line, const std::optional<std::string_view>& value) const;
    /// A row as the server sent it, without its line end: the pieces joined by the separator.
    void appendLine(std::string& out, const Row& row) const;

    const std::string& separator() const { return m_separator; }
    const std::string& enclosure() const { return m_enclosure; }
    const std::string& nullText() const { return m_null; }

private:
    bool needsQuotes(std::string_view value) const;

    std::string m_separator;
    std::string m_enclosure;
    std::string m_null;
};

/// Why a file in this format cannot be read back value for value (a separator that is empty or holds
/// a character of the enclosure or a line break, an enclosure with a line break, a NULL spelling that
/// is empty or holds a character of the separator, of the enclosure, a quote or a line break); empty
/// when every value comes back.
std::string csvReadBackProblem(const CsvFormat& format);
/// The question before such a file is written: the problem, and whether to write it anyway.
std::string csvReadBackQuestion(std::string_view problem);

/// The line end of every line, in the sample and in the file alike.
inline constexpr std::string_view kCsvLineEnd = "\r\n";

/// A row of the server with its CR LF end, appended to out: the one record both the sample and the
/// file are made of.
void appendCsvRecord(std::string& out, const CsvFormat& format, const Row& row);

/// "%s Limit 6": the statement whose rows make the sample.
std::string csvSampleStatement(const std::string& statement);
/// "Under a file output・・・%ld Record" for the block of 1000 rows that starts at firstRow (counted from 1).
std::string csvProgressText(long firstRow);

// What the operator is told when a file could not be written whole.
/// The statement given would change something, or returns no rows to write.
std::string csvNotReadingText();
/// The server refused the statement; nothing was written. errorLine: "%d:%s".
std::string csvRefusedText(std::string_view errorLine);
/// Reading the rows broke off after rows were written.
std::string csvReadBrokenText(long long rows, std::string_view errorLine);
/// The operator stopped the output; rows: the records in the file.
std::string csvStoppedText(long long rows);
/// The file did not take all that was written to it (a full disk, a size limit).
std::string csvWriteFailedText(long long rows, std::string_view systemError);

}  // namespace velkin
