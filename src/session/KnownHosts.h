#pragma once

#include <string>
#include <vector>

// Known hosts files as OpenSSH writes them: which key a file trusts for an SSH host, and taking a
// host out of the program's own file. The person's ~/.ssh/known_hosts is only ever read.
namespace velkin {

/// One key that a known hosts file trusts for a host.
struct KnownHostKey {
    std::string file;
    /// Counted from 1, as an editor shows it.
    int line = 0;
    std::string keyType;
    /// "SHA256:" and the hash, as ssh-keygen -l prints it.
    std::string fingerprint;
};

/// The name a known hosts file lists a host under: the host on port 22, "[host]:port" elsewhere.
std::string knownHostName(const std::string& host, unsigned int port);
/// Whether the host field of a known hosts line (patterns separated by commas, plain, with wildcards,
/// negated or hashed) names the host listed as name.
bool knownHostPatternsMatch(const std::string& patterns, const std::string& name);
/// The fingerprint of a public key given as the base64 text of a known hosts line; empty when the
/// text is no base64.
std::string sshKeyFingerprint(const std::string& base64Key);

/// The keys a known hosts text trusts for name, file left empty. A revoked key or a certificate
/// authority's line is no trust in the host's own key and is passed over.
std::vector<KnownHostKey> knownHostKeysIn(const std::string& text, const std::string& name);
/// The text with name taken out: the name's patterns leave their lines, a line left naming nobody
/// goes, every other byte stays. removed counts the lines changed or gone.
std::string withoutKnownHost(const std::string& text, const std::string& name, int& removed);

/// The keys trusted for a host listed as name: the program's own file first, then the person's.
std::vector<KnownHostKey> knownHostKeysFor(const std::string& name);
/// The keys trusted for the SSH host at port, as a tunnel finds it after the person's SSH config:
/// the program's own file first, then the person's ~/.ssh/known_hosts.
std::vector<KnownHostKey> trustedHostKeys(const std::string& host, unsigned int port);
/// Takes the SSH host at port out of the program's own known hosts file, so that its next tunnel
/// asks about its key again. The number of lines changed; -1 with error set when the file could not
/// be rewritten.
int forgetHostKey(const std::string& host, unsigned int port, std::string& error);

}  // namespace velkin
