#pragma once

#include <functional>
#include <string>

namespace velkin {
class Connection;
}

namespace velkin::bench {

/// What the console's cases need: the session, the tools and their login, the benchmark's table.
struct ConsoleBenchSetup {
    Connection& connection;
    std::string client;
    std::string dumper;
    /// The tools' login arguments, beginning with a blank.
    std::string login;
    std::string database;
    std::string table;
    /// Where files are written.
    std::string dir;
    int runs = 5;
    /// Waits until the server has written out what earlier work changed.
    std::function<void()> settle;
};

/// "Run file" of the tool's dump of the table (default options) in the console, against
/// `mariadb db < file`; and the memory the console's process took meanwhile.
void measureRunFile(const ConsoleBenchSetup& setup);

/// Ctrl+Space in the console's query box after "db." on a database of `tables` tables, from the key
/// press to the list shown: the first time (the names read) and later (from what was read).
void measureNameCompletion(const ConsoleBenchSetup& setup, int tables);

}  // namespace velkin::bench
