#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "ScriptFile.h"
#include "SqlConsoleDialog.h"
#include "TransferMessages.h"
#include "session/Operator.h"
#include "session/SqlText.h"

namespace velkin {

namespace {

QString withDefaultSuffix(const QString& path, const QString& suffix) {
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + '.' + suffix;
}

}  // namespace

void SqlConsoleDialog::load() {
    const QString path = m_op.chooseOpenFile(this, QString(), scriptFilter());
    if (path.isEmpty())
        return;
    // A file that is refused changes nothing: the box keeps its text and "Save" its file.
    const ScriptRead read = readScriptFile(path);
    switch (read.outcome) {
        case ScriptRead::Outcome::Unreadable:
            m_op.inform(QStringLiteral("It failed in opening of a file.\n") + read.error);
            return;
        case ScriptRead::Outcome::NotUtf8:
            m_op.inform(
                textf("The file is not UTF-8 text: byte %d is not valid UTF-8.\nIt was not loaded; "
                      "\"Run file\" runs it as it stands.",
                      static_cast<long long>(read.badByte + 1)));
            return;
        case ScriptRead::Outcome::Read:
            break;
    }
    m_query->setPlainText(qs(read.text));
    m_scriptFile->setText(path);
    m_scriptHeld = read.fingerprint;
}

bool SqlConsoleDialog::writeScript(const QString& path) {
    const ScriptWrite written = writeScriptFile(path, u8(m_query->toPlainText()));
    if (!written.written) {
        m_op.inform(qs(written.partial ? scriptWriteFailedText(u8(written.error))
                                       : scriptNotWrittenText(u8(written.error))));
        return false;
    }
    m_scriptFile->setText(path);
    m_scriptHeld = written.fingerprint;
    return true;
}

bool SqlConsoleDialog::mayOverwrite(const QString& path) {
    const std::optional<ScriptFingerprint> now = currentFingerprint(path);
    // Another program, or "Run file" of a dump of the same name, may have put other text there since.
    if (!now || *now == m_scriptHeld)
        return true;
    return m_op.ask(qs(scriptChangedText(u8(path))));
}

void SqlConsoleDialog::saveAs() {
    const QString chosen = m_op.chooseSaveFile(this, QString(), scriptFilter());
    const QString path = withDefaultSuffix(chosen, QStringLiteral("sql"));
    if (path.isEmpty())
        return;
    // The chooser asked about the name as typed, not about the one with the extension added.
    if (path != chosen && QFileInfo::exists(path) && !m_op.ask(qs(scriptExistsText(u8(path)))))
        return;
    if (!writeScript(path))
        return;
    m_op.inform(QStringLiteral("It wrote in!!"));
}

void SqlConsoleDialog::save() {
    const QString path = m_scriptFile->text();
    if (path.isEmpty()) {
        saveAs();
        return;
    }
    if (!mayOverwrite(path) || !writeScript(path))
        return;
    m_op.inform(QStringLiteral("Overwritten !!"));
}

}  // namespace velkin
