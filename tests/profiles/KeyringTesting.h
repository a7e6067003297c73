#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <cstdlib>
#include <string>

#include "ProfileTesting.h"
#include "profiles/HostDialog.h"
#include "profiles/Keyring.h"
#include "profiles/KeyringEntryText.h"
#include "profiles/SecretPlaceFile.h"

namespace velkin::test {

inline void choosePlace(QWidget& dialog, const QString& place) {
    auto* combo = widget<QComboBox>(dialog, "Password place");
    const int at = combo->findText(place);
    ASSERT_GE(at, 0) << place.toStdString();
    combo->setCurrentIndex(at);
}

/// The files under folder that hold text anywhere in their bytes.
inline QStringList filesHolding(const QString& folder, const std::string& text) {
    QStringList found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (readFile(path.toStdString()).find(text) != std::string::npos)
            found << path;
    }
    return found;
}

/// A file of the test sshd's folder (scripts/testsshd), its last line end taken off.
inline std::string sshFile(const std::string& name) {
    std::string text = readFile(std::string(std::getenv("VELKIN_SSH_DIR")) + "/" + name);
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

/// What a question that asks for a password says above its field (its one wrapped label).
inline QString labelTexts(QWidget& dialog) {
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        if (label->wordWrap())
            texts << label->text();
    return texts.join('\n');
}

/// Answers the next "Login" question with password, keeping what it said in said.
inline std::function<int(QDialog&)> typePassword(const QString& password, QString* said) {
    return [password, said](QDialog& dialog) {
        *said = labelTexts(dialog);
        setField(dialog, "Password", password);
        return static_cast<int>(QDialog::Accepted);
    };
}

/// The id under which the saved host name keeps its secrets in the keyring.
inline std::string secretId(const std::string& name) {
    return SecretPlaceFile().entry(name).id;
}

/// The entry the keyring holds under key, or "(none)" for no entry and "(foreign)" for one this
/// program did not write.
inline std::string keyringText(const QString& key) {
    const KeyringRead read = keyringRead(key);
    if (!read.secret)
        return "(none)";
    const auto entry = parseKeyringEntry(*read.secret);
    return entry ? entry->secret.toStdString() : "(foreign)";
}
inline std::string keptPasswordOf(const std::string& id) {
    return keyringText(passwordKeyringKey(QString::fromStdString(id)));
}
inline std::string keptSshSecretOf(const std::string& id) {
    return keyringText(sshKeyringKey(QString::fromStdString(id)));
}

/// Runs f with the process in folder, then goes back.
template <typename F>
void inFolder(const std::string& folder, F f) {
    const QString previous = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(folder));
    f();
    QDir::setCurrent(previous);
}

}  // namespace velkin::test
