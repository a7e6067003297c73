#include "TextModeFile.h"

#include <cstring>
#include <memory>

namespace velkin {

namespace {
struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f)
            std::fclose(f);
    }
};
}  // namespace

TextModeFile::~TextModeFile() {
    close();
}

bool TextModeFile::open(const std::string& path) {
    close();
    m_file = std::fopen(path.c_str(), "wb");
    if (!m_file)
        return false;
    // Large exports write many short lines; a bigger buffer keeps the system calls few.
    std::setvbuf(m_file, nullptr, _IOFBF, 1 << 20);
    return true;
}

void TextModeFile::write(std::string_view text) {
    if (!m_file)
        return;
    while (!text.empty()) {
        const void* found = std::memchr(text.data(), '\n', text.size());
        if (!found) {
            std::fwrite(text.data(), 1, text.size(), m_file);
            return;
        }
        const std::size_t n = static_cast<const char*>(found) - text.data();
        std::fwrite(text.data(), 1, n, m_file);
        std::fwrite("\r\n", 1, 2, m_file);
        text.remove_prefix(n + 1);
    }
}

void TextModeFile::writeBytes(std::string_view bytes) {
    if (m_file)
        std::fwrite(bytes.data(), 1, bytes.size(), m_file);
}

void TextModeFile::close() {
    if (m_file)
        std::fclose(m_file);
    m_file = nullptr;
}

std::optional<std::string> readTextModeFile(const std::string& path) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return std::nullopt;
    std::string raw;
    char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        raw.append(buffer, n);
    std::string text;
    text.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n')
            continue;
        text.push_back(raw[i]);
    }
    return text;
}

std::string toTextModeLineEnds(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n')
            out.push_back('\r');
        out.push_back(c);
    }
    return out;
}

}  // namespace velkin
