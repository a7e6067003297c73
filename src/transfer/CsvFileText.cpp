#include "CsvFileText.h"

#include <algorithm>

#include "session/SqlText.h"

namespace velkin {

CsvRecordReader::CsvRecordReader(CsvReadFormat format) : m_format(std::move(format)) {
    const CsvReadFormat& f = m_format;
    m_lookahead = std::max({std::size_t{1}, f.separator.size(), f.lineEnd.size(), f.escape.size() + 1});
    if (!f.enclosure.empty())
        m_lookahead = std::max({m_lookahead, 2 * f.enclosure.size(),
                                f.enclosure.size() + std::max(f.separator.size(), f.lineEnd.size())});
    m_holdLimit = std::max<std::size_t>(f.nullText ? f.nullText->size() : 0, 4);
    for (const std::string* token : {&f.separator, &f.enclosure, &f.escape, &f.lineEnd})
        if (!token->empty())
            m_tokenStart[static_cast<unsigned char>(token->front())] = true;
}

void appendRowFormText(std::string& out, std::string_view text) {
    std::size_t plain = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char* escaped = nullptr;
        switch (text[i]) {
            case '\\':
                escaped = "\\\\";
                break;
            case '\t':
                escaped = "\\t";
                break;
            case '\n':
                escaped = "\\n";
                break;
            case '\r':
                escaped = "\\r";
                break;
            case '\0':
                escaped = "\\0";
                break;
            default:
                continue;
        }
        out.append(text.substr(plain, i - plain));
        out += escaped;
        plain = i + 1;
    }
    out.append(text.substr(plain));
}

bool CsvRecordReader::at(std::string_view token) const {
    return !token.empty() && m_input.compare(m_at, token.size(), token) == 0;
}

char CsvRecordReader::unescape(char c) {
    // The server's own meanings, so that a file written for it reads the same here.
    switch (c) {
        case 'n':
            return '\n';
        case 't':
            return '\t';
        case 'r':
            return '\r';
        case 'b':
            return '\b';
        case '0':
            return '\0';
        case 'Z':
            return '\032';
        case 'N':
            m_escapedN = true;
            return 'N';
        default:
            return c;
    }
}

void CsvRecordReader::take(char c, std::string& out) {
    if (m_streaming) {
        appendRowFormText(out, std::string_view(&c, 1));
        return;
    }
    m_field.push_back(c);
    if (m_field.size() <= m_holdLimit)
        return;
    // Too long to be NULL: the field goes on without being held, however long it grows.
    if (m_fieldIndex > 0)
        out += '\t';
    appendRowFormText(out, m_field);
    m_field.clear();
    m_streaming = true;
}

void CsvRecordReader::takeRun(std::string_view run, std::string& out) {
    for (; !run.empty() && !m_streaming; run.remove_prefix(1))
        take(run.front(), out);
    appendRowFormText(out, run);
}

void CsvRecordReader::endField(std::string& out) {
    if (!m_streaming) {
        const CsvReadFormat& f = m_format;
        bool isNull = m_escapedN && m_field == "N";
        if (!isNull && !m_enclosed) {
            if (f.nullText && m_field == *f.nullText) {
                isNull = true;
                if (f.enclosure.empty() && m_notes.records >= f.ignoredRecords)
                    ++m_notes.bareNulls;
            } else {
                // Where values may be enclosed, the bare word is NULL to every reader, the server too.
                isNull = !f.enclosure.empty() && m_field == "NULL";
            }
        }
        if (m_fieldIndex > 0)
            out += '\t';
        if (isNull)
            out += "\\N";
        else
            appendRowFormText(out, m_field);
    }
    m_field.clear();
    m_streaming = false;
    m_escapedN = false;
    m_enclosed = false;
    ++m_fieldIndex;
}

void CsvRecordReader::endRecord(std::string& out) {
    out += '\n';
    ++m_notes.records;
    m_fieldIndex = 0;
    m_recordStarted = false;
    m_state = State::FieldStart;
}

void CsvRecordReader::parse(std::string& out, bool atEnd) {
    const CsvReadFormat& f = m_format;
    // An escape that is the enclosure only doubles, which the enclosure's own rule covers.
    const std::string_view escape = f.escape == f.enclosure ? std::string_view() : f.escape;
    const std::string_view enclosure = f.enclosure;
    while (m_at < m_input.size()) {
        // Bytes that begin no separator, enclosure, escape or line end go in runs, with no look ahead.
        if (m_state != State::FieldStart && !m_tokenStart[static_cast<unsigned char>(m_input[m_at])]) {
            std::size_t end = m_at + 1;
            while (end < m_input.size() && !m_tokenStart[static_cast<unsigned char>(m_input[end])])
                ++end;
            takeRun(std::string_view(m_input).substr(m_at, end - m_at), out);
            m_at = end;
            continue;
        }
        const std::size_t left = m_input.size() - m_at;
        if (!atEnd && left < m_lookahead)
            return;
        if (m_state == State::FieldStart) {
            m_recordStarted = true;
            m_enclosed = at(enclosure);
            if (m_enclosed)
                m_at += enclosure.size();
            m_state = m_enclosed ? State::Enclosed : State::Bare;
            continue;
        }
        if (at(escape)) {
            m_at += escape.size();
            // An escape at the very end of the file stands for itself.
            if (m_at == m_input.size()) {
                for (char c : escape)
                    take(c, out);
            } else {
                take(unescape(m_input[m_at++]), out);
            }
            continue;
        }
        if (m_state == State::Enclosed) {
            if (!at(enclosure)) {
                take(m_input[m_at++], out);
                continue;
            }
            const std::size_t after = m_at + enclosure.size();
            if (m_input.compare(after, enclosure.size(), enclosure) == 0) {
                for (char c : enclosure)
                    take(c, out);
                m_at = after + enclosure.size();
                continue;
            }
            const auto followedBy = [&](std::string_view token) {
                return !token.empty() && m_input.compare(after, token.size(), token) == 0;
            };
            if (followedBy(f.separator) || followedBy(f.lineEnd) || after == m_input.size()) {
                // Closed: what follows is read as after a bare field.
                m_at = after;
                m_state = State::Bare;
                continue;
            }
            take(m_input[m_at++], out);
            continue;
        }
        if (at(f.separator)) {
            m_at += f.separator.size();
            endField(out);
            m_state = State::FieldStart;
        } else if (at(f.lineEnd)) {
            m_at += f.lineEnd.size();
            endField(out);
            endRecord(out);
        } else {
            take(m_input[m_at++], out);
        }
    }
}

void CsvRecordReader::feed(std::string_view bytes, std::string& out) {
    m_input.erase(0, m_at);
    m_at = 0;
    m_input.append(bytes);
    parse(out, false);
}

void CsvRecordReader::finish(std::string& out) {
    parse(out, true);
    m_input.clear();
    m_at = 0;
    if (m_state == State::FieldStart && !m_recordStarted)
        return;
    if (m_state == State::Enclosed)
        m_notes.endedInsideEnclosure = true;
    endField(out);
    endRecord(out);
}

std::string csvReadWarnings(const CsvReadNotes& notes, std::string_view nullText) {
    std::string text;
    if (notes.bareNulls > 0)
        text = fmt::sprintf(
            "%llu values \"%s\" became NULL: with no enclosure the file cannot keep a text \"%s\" apart "
            "from NULL, so such a text is NULL in the table now.",
            notes.bareNulls, nullText, nullText);
    if (notes.endedInsideEnclosure) {
        if (!text.empty())
            text += '\n';
        text +=
            "The file ends inside an enclosed value: its last record was loaded as it stands and may be "
            "incomplete.";
    }
    return text;
}

}  // namespace velkin
