#include "TlsOptions.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace velkin {

namespace {

/// A file the client library would read: it must be a regular file this process may open. Opened
/// without waiting, so that a FIFO named by mistake cannot hang the login.
std::string unreadable(const std::string& what, const std::string& path) {
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return "The " + what + " " + path + " cannot be read (" + std::strerror(errno) + ").";
    struct stat status {};
    const bool regular = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    ::close(fd);
    if (!regular)
        return "The " + what + " " + path + " is not a regular file.";
    return {};
}

bool mentions(const std::string& text, const char* word) {
    return text.find(word) != std::string::npos;
}

}  // namespace

std::string tlsSettingsProblem(const TlsOptions& tls) {
    if (!tls.isOn())
        return {};
    if (tls.certFile.empty() != tls.keyFile.empty())
        return "A client certificate needs its key file, and a key file its certificate.";
    const std::pair<const char*, const std::string*> files[] = {
        {"CA file", &tls.caFile}, {"client certificate", &tls.certFile}, {"client key file", &tls.keyFile}};
    for (const auto& [what, path] : files) {
        if (path->empty())
            continue;
        std::string problem = unreadable(what, *path);
        if (!problem.empty())
            return problem;
    }
    return {};
}

std::string connectFailureMessage(const TlsOptions& tls, unsigned int errorNumber,
                                  const std::string& errorText) {
    const std::string plain = "Connection failure";
    const std::string detail = std::to_string(errorNumber) + ":" + errorText;
    // A wrong password and an unreachable server must read differently: the library's words tell.
    if (!tls.isOn())
        return plain + "\n" + detail;
    // The client library reports every TLS failure under one number; its text tells them apart.
    const bool tlsError = errorNumber == 2026 || mentions(errorText, "SSL") || mentions(errorText, "TLS");
    if (!tlsError)
        return plain + "\nThe encrypted connection was set up; the login itself failed.\n" + detail;
    if (mentions(errorText, "certificate") || mentions(errorText, "hostname") ||
        mentions(errorText, "host name"))
        return plain + "\nThe server's certificate could not be verified" +
               (tls.caFile.empty() ? std::string(" against the system's CAs")
                                   : " against the CA file " + tls.caFile) +
               ".\n" + detail;
    if (mentions(errorText, "not support SSL") || mentions(errorText, "doesn't support SSL") ||
        mentions(errorText, "SSL is required"))
        return plain + "\nThe server does not offer an encrypted connection.\n" + detail;
    return plain + "\nThe encrypted connection could not be set up.\n" + detail;
}

std::string connectionSecurityText(const std::string& cipher) {
    return cipher.empty() ? "Not encrypted" : "Encrypted " + cipher;
}

}  // namespace velkin
