// The copy from another server, measured against the dump tool piped into the client. The "other"
// server is the benchmark's own server reached through a second connection: the copy cannot tell,
// and the tools take the same way.

#include "CopyBench.h"

#include <iostream>

#include "BenchSupport.h"
#include "session/Connection.h"
#include "session/SqlText.h"
#include "transfer/RowCopy.h"

namespace velkin::bench {

namespace {

constexpr const char* kOtherDatabase = "velkin_bench_other";

std::string tableChecksum(Connection& c, const std::string& table) {
    Result r = c.select("CHECKSUM TABLE " + table);
    Row row = r.fetchRow();
    return row ? row.str(1) : std::string("(none)");
}

}  // namespace

void measureCopyBetweenServers(Connection& connection, const std::string& port, const std::string& database,
                               const std::string& table, int runs) {
    const std::string login =
        " --no-defaults --default-character-set=utf8mb4 -h127.0.0.1 -P" + port + " -uroot";
    const std::string client = tool({"mariadb", "mysql"});
    const std::string dumper = tool({"mariadb-dump", "mysqldump"});
    const std::string source = database + "." + table;
    const std::string copy = std::string(kOtherDatabase) + "." + table;
    connection.query("DROP DATABASE IF EXISTS " + std::string(kOtherDatabase));
    connection.query("CREATE DATABASE " + std::string(kOtherDatabase));
    const std::string expected = tableChecksum(connection, source);

    Connection reader;
    if (!reader.connect("127.0.0.1", "root", "", static_cast<unsigned>(std::stoul(port)))) {
        std::cerr << "the copy's source connection failed: " << reader.errorText() << std::endl;
        return;
    }
    auto check = [&](const std::string& who) {
        return [&connection, &copy, expected, who] {
            const std::string got = tableChecksum(connection, copy);
            if (got != expected)
                std::cerr << "CHECK FAILED: " << who << "'s copy has checksum " << got << ", the source "
                          << expected << std::endl;
        };
    };
    Contender ours{"VelkinSorvane"};
    ours.prepare = [&] {
        connection.query("DROP TABLE IF EXISTS " + copy);
        connection.query("CREATE TABLE " + copy + " LIKE " + source);
    };
    ours.work = [&] {
        RowCopy rows(reader, {database, table, source}, connection, {kOtherDatabase, table, copy});
        rows.setBulkLoad(true);
        rows.setLogFile("rep_other_server.log");
        const RowCopyOutcome outcome = rows.run();
        if (outcome.rowsFailed > 0 || outcome.readFailed)
            std::cerr << "CHECK FAILED: the copy refused " << outcome.rowsFailed << " rows" << std::endl;
    };
    ours.check = check("the copy from another server");
    Contender pipe{"mariadb-dump | mariadb"};
    pipe.prepare = [&] { connection.query("DROP TABLE IF EXISTS " + copy); };
    pipe.work = [&] {
        runShell(dumper + login + " " + database + " " + table + " | " + client + login + " " +
                 kOtherDatabase);
    };
    pipe.check = check("the dump pipe");
    race(runs, {&ours, &pipe});
    printCase("copy from another server", ours, pipe);
    connection.query("DROP DATABASE " + std::string(kOtherDatabase));
}

}  // namespace velkin::bench
