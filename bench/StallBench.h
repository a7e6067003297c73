#pragma once

#include <functional>
#include <string>

#include "session/CSorvaneDoc.h"

namespace velkin {
class Connection;
class Operator;
}  // namespace velkin

namespace velkin::bench {

/// What the stall cases need of the benchmark: its session and server, the big table, a folder for
/// files, and a way to let the server settle between cases.
struct StallSetup {
    Connection& connection;
    Operator& op;
    LoginValues login;
    std::string database;
    std::string table;
    long rows = 0;
    int runs = 1;
    /// The private server's process, which one case stops for a while; 0 leaves that case out.
    long serverPid = 0;
    std::string folder;
    std::function<void()> settle;
};

/// The window's thread while long work runs on the big table: a 10 ms timer on that thread records
/// its longest lateness, and for the stopped cases a watcher on a connection of its own times the
/// way from the Stop click to the statement's leaving the server's process list. Prints a table of
/// the figures beside their goals.
void measureStalls(const StallSetup& setup);

}  // namespace velkin::bench
