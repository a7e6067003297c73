#pragma once

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "session/SshOptions.h"
#include "session/SshTunnel.h"

// The private sshd of the test run (scripts/testsshd), for the programs that the sshserver fixture
// starts it for: its folder, keys and port, and the tests' home, whose ~/.ssh is that folder's.
namespace velkin::test {

inline std::string sshDir() {
    const char* dir = std::getenv("VELKIN_SSH_DIR");
    return dir ? dir : "";
}

inline std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void writeText(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

inline std::string firstWord(const std::string& text) {
    return text.substr(0, text.find_first_of(" \n"));
}

inline std::string sshFile(const std::string& name) {
    return sshDir() + "/" + name;
}

inline unsigned int sshPort() {
    return static_cast<unsigned int>(std::stoul(readText(sshFile("port"))));
}

inline std::string me() {
    const passwd* pw = getpwuid(getuid());
    return pw ? pw->pw_name : "root";
}

inline SshOptions tunnelTo(SshAuth auth, const std::string& keyFile = {}) {
    SshOptions o;
    o.host = "127.0.0.1";
    o.port = sshPort();
    o.user = me();
    o.auth = auth;
    o.keyFile = keyFile;
    return o;
}

inline std::string homeKnownHosts() {
    return std::string(std::getenv("HOME")) + "/.ssh/known_hosts";
}

/// The line a known hosts file trusts a key of the test sshd with: its own key, or the key it never
/// shows, which stands for a changed one.
inline std::string sshdKnownHostsLine(const std::string& keyFile = "host_ed25519.pub") {
    return "[127.0.0.1]:" + std::to_string(sshPort()) + " " + readText(sshFile(keyFile));
}

/// Each case starts with no key trusted anywhere.
inline void forgetHostKeys() {
    std::filesystem::remove(SshTunnel::ownKnownHostsPath());
    std::filesystem::remove(homeKnownHosts());
}

/// Starts, stops, kills, freezes or thaws the test sshd.
inline void sshd(const std::string& action) {
    const std::string command = std::string(std::getenv("VELKIN_SOURCE_DIR")) + "/scripts/testsshd " +
                                action + " " + sshDir() + " >/dev/null";
    ASSERT_EQ(0, std::system(command.c_str())) << command;
}

inline bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace velkin::test
