#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velkin {

/// What a script file held, in a form that tells later whether it still holds it.
using ScriptFingerprint = QByteArray;

/// A script file read for the query box.
struct ScriptRead {
    enum class Outcome { Read, Unreadable, NotUtf8 };
    Outcome outcome = Outcome::Unreadable;
    /// The text, every CR LF read as one line feed.
    std::string text;
    ScriptFingerprint fingerprint;
    /// Unreadable: the system's words.
    QString error;
    /// NotUtf8: the position (from 0) of the first byte that is not UTF-8.
    std::size_t badByte = 0;
};

/// Reads a script in text mode. The query box holds Unicode text, so a file that is not UTF-8 is
/// refused rather than changed on the way in.
ScriptRead readScriptFile(const QString& path);

/// What the file at path holds now: nothing when there is no such file, an empty fingerprint when
/// there is one that cannot be read.
std::optional<ScriptFingerprint> currentFingerprint(const QString& path);

/// How a script file was written.
struct ScriptWrite {
    bool written = false;
    /// The text went straight into a device or pipe and broke off there, so part of it may have landed.
    bool partial = false;
    QString error;
    /// What the file holds after a write.
    ScriptFingerprint fingerprint;
};

/// Writes text in text mode (line feeds as CR LF) as a whole: the new file takes the old one's place
/// only once all of it is on the disk, so a full disk or any failure leaves the old file as it was.
ScriptWrite writeScriptFile(const QString& path, std::string_view text);

}  // namespace velkin
