#pragma once

#include <optional>
#include <string>

#include "session/SshOptions.h"

class QWidget;

namespace velkin {

class Operator;

/// What the SSH login of a tunnel needs and no file keeps: the password of a password login, or the
/// passphrase of a key file that has one. The saved host named profile gives it when the keyring
/// keeps it; otherwise the person is asked. Empty secrets when nothing is needed (an agent, a key
/// without passphrase, no tunnel); nothing when the person cancelled.
std::optional<SshSecrets> askSshSecrets(Operator& op, QWidget* parent, const SshOptions& ssh,
                                        const std::string& profile);

}  // namespace velkin
