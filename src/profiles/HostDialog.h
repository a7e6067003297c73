#pragma once

#include <QDialog>

#include "HostRecord.h"
#include "SecretPlaceFile.h"
#include "session/SshOptions.h"
#include "session/TlsOptions.h"

class QComboBox;
class QFormLayout;
class QLineEdit;

namespace velkin {

class HostKeyBox;
class Operator;

/// "Create Host Infomation" (titled "Host edit" when it edits a saved host): the five values of one
/// Host.DAT record. Closing with "Create" writes the record: appended when adding, rewritten in
/// place when editing.
class HostDialog : public QDialog {
    Q_OBJECT
public:
    /// Adds a new host.
    explicit HostDialog(Operator& op, QWidget* parent = nullptr);
    /// Edits the first saved host with that display name (the record's bytes, which need not be UTF-8).
    HostDialog(Operator& op, const QByteArray& displayName, QWidget* parent = nullptr);

    bool isEditing() const { return m_editing; }
    /// The display name the edited host had when the dialog opened.
    const QByteArray& key() const { return m_key; }

    QString displayName() const;
    /// The display name as it is written: the saved bytes while the field shows them unchanged.
    QByteArray displayNameBytes() const;
    QString userName() const;
    QString password() const;
    QString hostName() const;
    QString port() const;
    /// The TLS settings as the dialog shows them; kept in HostTLS.DAT, not in the host's record.
    TlsOptions tls() const;
    /// The SSH tunnel as the dialog shows it; kept in HostSSH.DAT. Off when no SSH host is given.
    SshOptions ssh() const;
    /// The SSH password or key passphrase typed for the keyring.
    QString sshSecret() const;
    /// Where the password is kept: "kept in Host.DAT", "kept in the desktop's keyring" or "asked at
    /// every login".
    SecretPlace secretPlace() const;

private:
    void build();
    void buildTls(QFormLayout* form);
    void addFileField(QFormLayout* form, QLineEdit*& field, const QString& label);
    void showTls(const TlsOptions& tls);
    void tlsModeChanged();
    void buildSsh(QFormLayout* form);
    void showSsh(const SshOptions& ssh);
    void sshAuthChanged();
    /// Puts the SSH secret in the keyring, or takes it out; false when the keyring cannot take it.
    bool keepSshSecret();
    bool refuseSsh();
    void buildSecretPlace(QFormLayout* form);
    void showSecret(const HostRecord& record);
    /// Puts the password where the person chose; false (the dialog stays) when the keyring cannot take it.
    bool keepSecret();
    /// The name the host's lines beside Host.DAT are kept under until now.
    std::string formerName() const;
    /// Writes the host's line of a file beside Host.DAT, saying so when it cannot; lost tells what is not
    /// saved.
    template <typename File, typename Value>
    void storeBeside(File& file, const Value& value, const QString& lost);
    void fillFrom(const HostRecord& record);
    void fillOthersFromSavedHost();
    HostRecord record() const;
    void create();

    Operator& m_op;
    bool m_editing = false;
    QByteArray m_key;
    /// The texts as last filled from Host.DAT, so that unchanged fields are written back byte for byte.
    HostRecord m_saved;
    QLineEdit* m_displayName = nullptr;
    QLineEdit* m_userName = nullptr;
    QLineEdit* m_password = nullptr;
    QLineEdit* m_hostName = nullptr;
    QLineEdit* m_port = nullptr;
    QComboBox* m_tlsMode = nullptr;
    QLineEdit* m_caFile = nullptr;
    QLineEdit* m_certFile = nullptr;
    QLineEdit* m_keyFile = nullptr;
    QLineEdit* m_sshHost = nullptr;
    QLineEdit* m_sshPort = nullptr;
    QLineEdit* m_sshUser = nullptr;
    QComboBox* m_sshAuth = nullptr;
    QLineEdit* m_sshKeyFile = nullptr;
    QLineEdit* m_sshSecret = nullptr;
    HostKeyBox* m_hostKey = nullptr;
    QComboBox* m_secretPlace = nullptr;
    /// Where the edited host's password was kept when the dialog was filled, and the id its keyring
    /// entries are kept under.
    SecretPlace m_savedPlace = SecretPlace::HostDat;
    std::string m_savedId;
    /// The id the keyring keeps the host's secrets under from now on.
    std::string m_secretId;
};

}  // namespace velkin
