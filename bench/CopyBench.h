#pragma once

#include <string>

namespace velkin {
class Connection;
}

namespace velkin::bench {

/// The copy from another server (its row copy feeding the destination with LOAD DATA from the
/// client) against the dump tool piped into the client; source is database.table on the server that
/// connection talks to, reached by the tools on 127.0.0.1:port.
void measureCopyBetweenServers(Connection& connection, const std::string& port, const std::string& database,
                               const std::string& table, int runs);

}  // namespace velkin::bench
