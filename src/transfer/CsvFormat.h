#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velkin {

class Row;

/// The field separator of an exported line: the two list entries or the operator's own text.
enum class CsvSeparator { Comma, Tab, User };
/// The enclosure of each value: the three list entries or the operator's own text.
enum class CsvEnclosure { None, Single, Double, User };

/// How each value of an exported line is written. Values are copied byte for byte: nothing inside
/// them is escaped, doubled or converted, which is the file format readers of these files expect.
class CsvFormat {
public:
    CsvFormat(CsvSeparator separator, CsvEnclosure enclosure, std::string userSeparator = {},
              std::string userEnclosure = {});

    /// One value's piece: enclosure, value ("(null)" for NULL), enclosure, separator.
    std::string piece(const std::optional<std::string_view>& value) const;
    void appendPiece(std::string& line, const std::optional<std::string_view>& value) const;

    /// A whole line without its line end: the pieces with the last byte of the last one removed.
    std::string line(const std::vector<std::optional<std::string_view>>& values) const;
    /// The same for a row as the server sent it, appended to out.
    void appendLine(std::string& out, const Row& row) const;

    const std::string& separator() const { return m_separator; }
    const std::string& enclosure() const { return m_enclosure; }

private:
    std::string m_separator;
    std::string m_enclosure;
};

/// The text a NULL value is written as.
inline constexpr std::string_view kCsvNull = "(null)";

/// Lines for the sample box end with CR LF; lines for the file end with a line feed that the text-mode
/// file turns into CR LF.
std::string csvSampleLine(const CsvFormat& format,
                          const std::vector<std::optional<std::string_view>>& values);

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
/// The file did not take all that was written to it (a full disk, a size limit).
std::string csvWriteFailedText(long long rows, std::string_view systemError);

}  // namespace velkin
