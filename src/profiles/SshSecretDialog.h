#pragma once

#include <QDialog>

class QLineEdit;

namespace velkin {

/// "SSH login": asks for the one secret an SSH login needs (its password, or the passphrase of its
/// key file) right before connecting. What is typed is kept in memory for the session only.
class SshSecretDialog : public QDialog {
    Q_OBJECT
public:
    /// label names the field ("SSH password", "Passphrase"); prompt says what it is for. The same
    /// question asks for a database password that is kept nowhere, under its own title.
    SshSecretDialog(const QString& label, const QString& prompt, QWidget* parent = nullptr,
                    const QString& title = QStringLiteral("SSH login"));
    QString secret() const;

private:
    QLineEdit* m_secret = nullptr;
};

}  // namespace velkin
