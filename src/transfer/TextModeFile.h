#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace velkin {

/// A file written in text mode: every line feed reaches the disk as CR LF, as the files this program
/// writes have always ended their lines.
class TextModeFile {
public:
    TextModeFile() = default;
    ~TextModeFile();
    TextModeFile(const TextModeFile&) = delete;
    TextModeFile& operator=(const TextModeFile&) = delete;

    /// Creates or truncates the file. False when it cannot be opened.
    bool open(const std::string& path);
    bool isOpen() const { return m_file != nullptr; }
    void write(std::string_view text);
    /// Writes the bytes unchanged, for files whose line ends are already in the text (CSV values keep
    /// their own line feeds).
    void writeBytes(std::string_view bytes);
    void close();

private:
    std::FILE* m_file = nullptr;
};

/// Text-mode reading: CR LF counts as one line feed. Nothing when the file cannot be opened.
std::optional<std::string> readTextModeFile(const std::string& path);

/// Every line feed of text as CR LF (a line feed already preceded by CR included, as text mode does).
std::string toTextModeLineEnds(std::string_view text);

}  // namespace velkin
