#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include "session/Connection.h"

namespace velkin::test {

/// The servers scripts/replservers started for this run: "primary", "source2" and "replica".
inline unsigned int replPort(const std::string& server) {
    const char* dir = std::getenv("VELKIN_REPL_DIR");
    if (!dir)
        throw std::runtime_error("VELKIN_REPL_DIR is not set; run the tests through ctest");
    std::ifstream in(std::string(dir) + "/" + server + "/port");
    unsigned int port = 0;
    in >> port;
    if (port == 0)
        throw std::runtime_error("no port for " + server);
    return port;
}

inline std::unique_ptr<Connection> connectRepl(const std::string& server, const std::string& user = "root",
                                               const std::string& password = "") {
    auto c = std::make_unique<Connection>();
    if (!c->connect("127.0.0.1", user, password, replPort(server)))
        throw std::runtime_error("cannot connect to " + server + ": " + c->errorText());
    return c;
}

/// One figure of one replica connection as a second client reads it (SHOW ALL SLAVES STATUS).
inline std::string replicaField(Connection& replica, const std::string& connectionName,
                                const std::string& field) {
    Result result = replica.select("SHOW ALL SLAVES STATUS");
    if (!result)
        return "(unreadable)";
    const auto names = result.fieldNames();
    while (Row row = result.fetchRow()) {
        if (row.str(0) != connectionName)
            continue;
        for (unsigned i = 0; i < names.size(); ++i)
            if (names[i] == field)
                return row.isNull(i) ? "NULL" : row.str(i);
    }
    return "(none)";
}

/// Waits for something the servers do on their own time (a transaction reaching the replica).
inline bool within(double seconds, const std::function<bool()>& condition) {
    const auto end =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(static_cast<int>(seconds * 1000));
    while (std::chrono::steady_clock::now() < end) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return condition();
}

}  // namespace velkin::test
