#include "KnownHosts.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "PrivateFile.h"
#include "SshOptions.h"
#include "SshSessionSetup.h"
#include "SshTunnel.h"

namespace velkin {

namespace {

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t at = 0;
    for (std::size_t end; (end = text.find(separator, at)) != std::string::npos; at = end + 1)
        parts.push_back(text.substr(at, end - at));
    parts.push_back(text.substr(at));
    return parts;
}

/// The blank-separated fields of a line, without its line end.
std::vector<std::string> fieldsOf(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; in >> field;)
        fields.push_back(field);
    return fields;
}

/// OpenSSH's patterns: * for any run of characters, ? for one, host names without regard to case.
bool globMatch(const char* pattern, const char* name) {
    for (; *pattern; ++pattern, ++name) {
        if (*pattern == '*') {
            for (const char* rest = name;; ++rest) {
                if (globMatch(pattern + 1, rest))
                    return true;
                if (!*rest)
                    return false;
            }
        }
        if (!*name)
            return false;
        if (*pattern != '?' && std::tolower(static_cast<unsigned char>(*pattern)) !=
                                   std::tolower(static_cast<unsigned char>(*name)))
            return false;
    }
    return !*name;
}

/// "|1|salt|hash": the name's HMAC-SHA1 under the salt, both in base64, so the file does not show
/// which hosts the person reaches.
bool hashedMatch(const std::string& pattern, const std::string& name) {
    const std::vector<std::string> parts = split(pattern.substr(1), '|');
    if (parts.size() != 3 || parts[0] != "1")
        return false;
    const QByteArray salt = QByteArray::fromBase64(QByteArray::fromStdString(parts[1]));
    const QByteArray hash = QByteArray::fromBase64(QByteArray::fromStdString(parts[2]));
    return !salt.isEmpty() && QMessageAuthenticationCode::hash(QByteArray::fromStdString(name), salt,
                                                               QCryptographicHash::Sha1) == hash;
}

bool patternMatches(const std::string& pattern, const std::string& name) {
    if (!pattern.empty() && pattern[0] == '|')
        return hashedMatch(pattern, name);
    return globMatch(pattern.c_str(), name.c_str());
}

bool isMarker(const std::string& field) {
    return !field.empty() && field[0] == '@';
}

std::string readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string theirKnownHostsPath() {
    return sshFolder() + "/known_hosts";
}

}  // namespace

std::string knownHostName(const std::string& host, unsigned int port) {
    if (port == 22 || port == 0)
        return host;
    return "[" + host + "]:" + std::to_string(port);
}

bool knownHostPatternsMatch(const std::string& patterns, const std::string& name) {
    bool named = false;
    for (const std::string& pattern : split(patterns, ',')) {
        if (!pattern.empty() && pattern[0] == '!') {
            // A negated pattern that names the host excludes it, whatever else the line says.
            if (patternMatches(pattern.substr(1), name))
                return false;
        } else if (!pattern.empty() && patternMatches(pattern, name)) {
            named = true;
        }
    }
    return named;
}

std::string sshKeyFingerprint(const std::string& base64Key) {
    const auto decoded = QByteArray::fromBase64Encoding(QByteArray::fromStdString(base64Key),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.isEmpty())
        return {};
    const QByteArray hash = QCryptographicHash::hash(decoded.decoded, QCryptographicHash::Sha256);
    return sshFingerprintText(std::vector<unsigned char>(hash.begin(), hash.end()));
}

std::vector<KnownHostKey> knownHostKeysIn(const std::string& text, const std::string& name) {
    std::vector<KnownHostKey> keys;
    const std::vector<std::string> lines = split(text, '\n');
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::vector<std::string> fields = fieldsOf(lines[i]);
        if (fields.size() < 3 || fields[0][0] == '#' || isMarker(fields[0]))
            continue;
        if (!knownHostPatternsMatch(fields[0], name))
            continue;
        keys.push_back({std::string(), static_cast<int>(i + 1), fields[1], sshKeyFingerprint(fields[2])});
    }
    return keys;
}

std::string withoutKnownHost(const std::string& text, const std::string& name, int& removed) {
    removed = 0;
    std::string kept;
    const std::vector<std::string> lines = split(text, '\n');
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const bool last = i + 1 == lines.size();
        const std::vector<std::string> fields = fieldsOf(line);
        if (fields.size() < 3 || fields[0][0] == '#' || isMarker(fields[0]) ||
            !knownHostPatternsMatch(fields[0], name)) {
            kept += last ? line : line + '\n';
            continue;
        }
        ++removed;
        // Other hosts that share the line keep their trust in the key; only this name leaves it.
        std::string others;
        bool namesSomeone = false;
        for (const std::string& pattern : split(fields[0], ',')) {
            const bool negated = !pattern.empty() && pattern[0] == '!';
            if (pattern.empty() || (!negated && patternMatches(pattern, name)))
                continue;
            namesSomeone = namesSomeone || !negated;
            others += (others.empty() ? "" : ",") + pattern;
        }
        if (!namesSomeone)
            continue;
        const std::size_t at = line.find(fields[0]);
        kept += line.substr(0, at) + others + line.substr(at + fields[0].size()) + (last ? "" : "\n");
    }
    return kept;
}

std::vector<KnownHostKey> trustedHostKeys(const std::string& host, unsigned int port) {
    return knownHostKeysFor(sshKnownHostName(host, port));
}

std::vector<KnownHostKey> knownHostKeysFor(const std::string& name) {
    std::vector<KnownHostKey> keys;
    for (const std::string& file : {SshTunnel::ownKnownHostsPath(), theirKnownHostsPath()}) {
        for (KnownHostKey key : knownHostKeysIn(readWhole(file), name)) {
            key.file = file;
            keys.push_back(key);
        }
    }
    return keys;
}

int forgetHostKey(const std::string& host, unsigned int port, std::string& error) {
    const std::string path = SshTunnel::ownKnownHostsPath();
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return 0;
    std::ostringstream read;
    read << in.rdbuf();
    int removed = 0;
    const std::string text = withoutKnownHost(read.str(), sshKnownHostName(host, port), removed);
    if (removed == 0)
        return 0;
    // Written beside and renamed over, so that a failure half way leaves the trust as it was.
    const std::string fresh = path + ".new";
    std::FILE* out = openPrivateFile(fresh, PrivateFileMode::Truncate);
    bool written = out && std::fwrite(text.data(), 1, text.size(), out) == text.size();
    written = out && std::fflush(out) == 0 && written;
    const int why = errno;
    if (out && std::fclose(out) != 0)
        written = false;
    if (!written || std::rename(fresh.c_str(), path.c_str()) != 0) {
        error = path + ": " + std::strerror(written ? errno : why);
        std::remove(fresh.c_str());
        return -1;
    }
    return removed;
}

}  // namespace velkin
