#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velkin {

/// How a delimited file is to be read: the import's format fields with their notation decoded and
/// their defaults filled in.
struct CsvReadFormat {
    std::string separator = "\t";
    /// Empty: no value is enclosed.
    std::string enclosure;
    /// Empty: no escape character.
    std::string escape = "\\";
    std::string lineEnd = "\n";
    /// The bare text that means NULL; nothing for only the server's own NULLs (the bare word NULL
    /// where an enclosure is declared, the escape and N).
    std::optional<std::string> nullText = std::string("(null)");
    /// Records at the head of the file that are not loaded (the server skips them): they raise no note.
    unsigned long long ignoredRecords = 0;
};

/// What the reading found that the person must hear of, because the table cannot hold it as the
/// file meant it.
struct CsvReadNotes {
    /// Records read, those skipped at the head included.
    unsigned long long records = 0;
    /// Bare fields taken as NULL for being the spelling where no enclosure is declared: a text of
    /// the same letters cannot be told from them.
    unsigned long long bareNulls = 0;
    /// The file ended inside an enclosed value, so its last record is taken as it stands.
    bool endedInsideEnclosure = false;
};

/// Turns the records of a file into the server's own row form, block by block, so that a file of
/// any size passes through a little memory: fields separated by a tab, records ended by a line feed,
/// NULL as \N, and in a text every backslash, tab, line feed, carriage return and zero byte escaped
/// by a backslash. What is NULL is decided here, from the file itself: a bare field that is the NULL
/// spelling (or, where an enclosure is declared, the bare word NULL), or the escape followed by N
/// alone. An enclosed field is always a text; an enclosure inside it stands doubled, and it closes
/// only before a separator, a line end or the end of the file.
class CsvRecordReader {
public:
    explicit CsvRecordReader(CsvReadFormat format);

    /// Takes the next bytes of the file and appends the rows they complete to out.
    void feed(std::string_view bytes, std::string& out);
    /// The end of the file: appends its last record to out, ended or not.
    void finish(std::string& out);
    const CsvReadNotes& notes() const { return m_notes; }

private:
    enum class State { FieldStart, Bare, Enclosed };

    void parse(std::string& out, bool atEnd);
    bool at(std::string_view token) const;
    /// One decoded byte of the current field.
    void take(char c, std::string& out);
    void takeRun(std::string_view run, std::string& out);
    void endField(std::string& out);
    void endRecord(std::string& out);
    char unescape(char c);

    const CsvReadFormat m_format;
    /// The bytes needed past the current one before any choice can be made.
    std::size_t m_lookahead = 1;
    /// A field is held back while it could still be the NULL spelling.
    std::size_t m_holdLimit = 4;
    /// The bytes that may begin a separator, an enclosure, an escape or a line end.
    bool m_tokenStart[256] = {};
    std::string m_input;
    std::size_t m_at = 0;
    State m_state = State::FieldStart;
    bool m_recordStarted = false;
    unsigned m_fieldIndex = 0;
    bool m_enclosed = false;
    bool m_escapedN = false;
    /// The field's bytes while it is held back; once it is too long to be NULL it streams to out.
    std::string m_field;
    bool m_streaming = false;
    CsvReadNotes m_notes;
};

/// The server's row form of one text, appended to out.
void appendRowFormText(std::string& out, std::string_view text);

/// What the person is told of the notes after a load, one line each; empty when there is nothing.
std::string csvReadWarnings(const CsvReadNotes& notes, std::string_view nullText);

}  // namespace velkin
