#include "ScriptFile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

#include "SqlScript.h"
#include "TextModeFile.h"

namespace velkin {

namespace {

ScriptFingerprint fingerprintOf(QByteArrayView bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

ScriptWrite writeStraightInto(const QString& path, std::string_view text) {
    ScriptWrite out;
    TextModeFile file;
    if (!file.open(QFile::encodeName(path).toStdString())) {
        out.error = QString::fromStdString(file.errorText());
        return out;
    }
    file.write(text);
    out.written = file.close();
    out.partial = !out.written;
    out.error = QString::fromStdString(file.errorText());
    return out;
}

}  // namespace

ScriptRead readScriptFile(const QString& path) {
    ScriptRead out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        out.error = file.errorString();
        return out;
    }
    const QByteArray raw = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        out.error = file.errorString();
        return out;
    }
    out.fingerprint = fingerprintOf(raw);
    out.text = fromTextModeLineEnds(std::string_view(raw.constData(), static_cast<std::size_t>(raw.size())));
    if (std::optional<std::size_t> bad = firstInvalidUtf8(out.text)) {
        out.outcome = ScriptRead::Outcome::NotUtf8;
        out.badByte = *bad;
        out.text.clear();
        return out;
    }
    out.outcome = ScriptRead::Outcome::Read;
    return out;
}

std::optional<ScriptFingerprint> currentFingerprint(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ScriptFingerprint();
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return ScriptFingerprint();
    return fingerprintOf(bytes);
}

ScriptWrite writeScriptFile(const QString& path, std::string_view text) {
    const QFileInfo target(path);
    // A device or a pipe has no place in a folder to be replaced in: the text goes straight into it.
    if (target.exists() && !target.isFile() && !target.isDir())
        return writeStraightInto(path, text);
    ScriptWrite out;
    const std::string bytes = toTextModeLineEnds(text);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        out.error = file.errorString();
        return out;
    }
    // The last part of the text may sit in the buffer: a full disk often shows only at the flush.
    const auto size = static_cast<qint64>(bytes.size());
    errno = 0;
    if (file.write(bytes.data(), size) != size || !file.flush()) {
        // The file's own words for a failed write are "Unknown error"; the system's say what happened.
        out.error = errno ? QString::fromLocal8Bit(std::strerror(errno)) : file.errorString();
        file.cancelWriting();
        return out;
    }
    if (!file.commit()) {
        out.error = file.errorString();
        return out;
    }
    out.written = true;
    out.fingerprint = fingerprintOf(QByteArrayView(bytes.data(), size));
    return out;
}

}  // namespace velkin
