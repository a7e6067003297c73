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

    /// Creates or truncates the file (appends with append set). False when it cannot be opened.
    bool open(const std::string& path, bool append = false);
    /// As open, for files that hold copied data (the copy logs): readable by the owner alone.
    bool openPrivate(const std::string& path, bool append = false);
    bool isOpen() const { return m_file != nullptr; }
    /// False once any write has failed: the file then lacks part of what it was given.
    bool write(std::string_view text);
    /// Flushes and closes. False when anything written so far did not reach the file.
    bool close();
    /// A write, the flush or the close failed.
    bool failed() const { return m_error != 0; }
    /// The system's words for the first failure.
    std::string errorText() const;
    /// Writes the bytes unchanged, for files whose line ends are already in the text (CSV values keep
    /// their own line feeds). False once any write has failed.
    bool writeBytes(std::string_view bytes);

private:
    bool adopt(std::FILE* file);

    std::FILE* m_file = nullptr;
    int m_error = 0;
};

/// Text-mode reading: CR LF counts as one line feed. Nothing when the file cannot be opened or read.
std::optional<std::string> readTextModeFile(const std::string& path);

/// The text of bytes read in text mode: every CR LF as one line feed.
std::string fromTextModeLineEnds(std::string_view raw);

/// Every line feed of text as CR LF (a line feed already preceded by CR included, as text mode does).
std::string toTextModeLineEnds(std::string_view text);

}  // namespace velkin
