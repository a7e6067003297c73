#pragma once

#include <string>

namespace velkin::bench {

struct SshBenchSetup {
    std::string sourceDir;
    std::string benchDir;
    /// The private server's port, as the SSH host sees it.
    std::string port;
    std::string database;
    std::string table;
    long rows = 0;
    int runs = 1;
};

/// The login through the program's SSH tunnel against an OpenSSH login, and the console and the CSV
/// export of the whole table through that tunnel against the same screens through `ssh -L`.
void measureSsh(const SshBenchSetup& setup);

}  // namespace velkin::bench
