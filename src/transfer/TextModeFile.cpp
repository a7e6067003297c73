#include "TextModeFile.h"

#include "session/PrivateFile.h"

#include <cerrno>
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

bool TextModeFile::open(const std::string& path, bool append) {
    return adopt(std::fopen(path.c_str(), append ? "ab" : "wb"));
}

bool TextModeFile::openPrivate(const std::string& path, bool append) {
    return adopt(openPrivateFile(path, append ? PrivateFileMode::Append : PrivateFileMode::Truncate));
}

bool TextModeFile::adopt(std::FILE* file) {
    const int openError = errno;
    close();
    m_error = 0;
    m_file = file;
    if (!m_file) {
        errno = openError;
        m_error = errno ? errno : EIO;
        return false;
    }
    // Large exports write many short lines; a bigger buffer keeps the system calls few.
    std::setvbuf(m_file, nullptr, _IOFBF, 1 << 20);
    return true;
}

bool TextModeFile::write(std::string_view text) {
    if (!m_file || m_error)
        return false;
    auto put = [this](const char* data, std::size_t n) {
        if (n > 0 && std::fwrite(data, 1, n, m_file) != n && !m_error)
            m_error = errno ? errno : EIO;
    };
    while (!text.empty() && !m_error) {
        const void* found = std::memchr(text.data(), '\n', text.size());
        if (!found) {
            put(text.data(), text.size());
            break;
        }
        const std::size_t n = static_cast<const char*>(found) - text.data();
        put(text.data(), n);
        put("\r\n", 2);
        text.remove_prefix(n + 1);
    }
    return !m_error;
}

bool TextModeFile::writeBytes(std::string_view bytes) {
    if (!m_file || m_error)
        return false;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size())
        m_error = errno ? errno : EIO;
    return !m_error;
}

bool TextModeFile::close() {
    if (!m_file)
        return !m_error;
    // The buffer holds the last part of the file: a full disk often shows only here.
    errno = 0;
    if (std::fflush(m_file) != 0 && !m_error)
        m_error = errno ? errno : EIO;
    errno = 0;
    if (std::fclose(m_file) != 0 && !m_error)
        m_error = errno ? errno : EIO;
    m_file = nullptr;
    return !m_error;
}

std::string TextModeFile::errorText() const {
    return m_error ? std::strerror(m_error) : std::string();
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
    // A read that broke off (or a folder, which opens but cannot be read) gives no text rather than a
    // part of one.
    if (std::ferror(file.get()))
        return std::nullopt;
    return fromTextModeLineEnds(raw);
}

std::string fromTextModeLineEnds(std::string_view raw) {
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
