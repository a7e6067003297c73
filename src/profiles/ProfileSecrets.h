#pragma once

#include <QString>
#include <optional>
#include <string>

#include "HostRecord.h"
#include "KeyringEntryText.h"
#include "session/SshOptions.h"

class QWidget;

namespace velkin {

class Operator;

/// What the keyring gave for one secret of a saved host.
struct KeptSecret {
    std::optional<std::string> secret;
    /// Why nothing came back where a secret was expected; the person is told and types it instead.
    QString problem;
    /// The entry under the host's id was kept for another login (a copy of the profile folder whose
    /// host was changed): it is another host's, never to be overwritten or forgotten from here.
    bool foreign = false;
};

/// The owners a saved host's two secrets are kept for.
SecretOwner passwordOwner(const std::string& id, const HostRecord& record);
SecretOwner sshOwner(const std::string& id, const SshOptions& ssh);

/// A new id for a saved host's keyring entries, never used before.
std::string newSecretId();

/// The database password a saved host keeps in the keyring, when it is this host's own.
KeptSecret keptPassword(const HostRecord& record);
/// The SSH password or key passphrase the saved host name keeps in the keyring for ssh; nothing
/// (and no problem) when it keeps none, which is then asked at login.
KeptSecret keptSshSecret(const std::string& name, const SshOptions& ssh);

/// Keep a secret in the keyring under the host's id; the keyring's reason when it could not.
QString keepPassword(const std::string& id, const HostRecord& record, const QString& secret);
QString keepSshSecret(const std::string& id, const SshOptions& ssh, const QString& secret);
/// Forget what the keyring keeps under a host's id; nothing kept is no failure.
void forgetPassword(const std::string& id);
void forgetSshSecret(const std::string& id);
/// Forgets both secrets of a saved host (under its id, or under its name where an earlier version
/// kept them); an entry kept for another login stays.
void forgetKeyringSecrets(const HostRecord& record);

/// The password the saved host logs in with, as far as it is known without asking: its record's,
/// or the keyring's. Where it is asked at every login, or the keyring cannot give it, nothing,
/// and problem says why for the keyring.
KeptSecret knownPassword(const HostRecord& record);

/// Asks the person for a database password ("Login"); problem, when there is one, says first why
/// the kept one is not used. Nothing when they cancel.
std::optional<std::string> askPassword(Operator& op, QWidget* parent, const QString& user,
                                       const QString& host, const QString& problem);

/// The password to log in with now: the known one, or the one the person types where it is asked
/// at every login or the keyring cannot give it; nothing when they cancel.
std::optional<std::string> loginPassword(Operator& op, QWidget* parent, const HostRecord& record);

}  // namespace velkin
