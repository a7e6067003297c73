#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "session/Connection.h"
#include "support/TestServer.h"

// Scripts and dumps run once by the command-line client and once by the console, and what they left.

namespace velkin::test {

/// The login arguments of the command-line tools for the private server on port.
inline QStringList toolLogin(unsigned int port) {
    const Account admin = adminAccount();
    QStringList arguments{"--protocol=TCP",      "-h", QString::fromStdString(testHost()), "-P",
                          QString::number(port), "-u", QString::fromStdString(admin.user)};
    if (!admin.password.empty())
        arguments << "-p" + QString::fromStdString(admin.password);
    return arguments;
}

/// Runs a script file through the command-line client into a database, as a person would with
/// `mariadb --comments db < file` (comments kept, as the bodies of routines need them); returns what
/// the client wrote on its error output.
inline std::string runWithClient(const std::string& database, const QString& path,
                                 unsigned int port = testPort()) {
    QProcess client;
    client.setStandardInputFile(path);
    client.start("mariadb", toolLogin(port) << "--comments" << QString::fromStdString(database));
    EXPECT_TRUE(client.waitForFinished(60000));
    return client.readAllStandardError().toStdString();
}

/// Writes `mariadb-dump options database` into path; fails the test when the tool fails.
inline void dumpWithTool(const std::string& database, const QStringList& options, const QString& path) {
    QProcess dump;
    dump.setStandardOutputFile(path);
    dump.start("mariadb-dump", toolLogin(testPort()) << options << QString::fromStdString(database));
    ASSERT_TRUE(dump.waitForFinished(60000));
    ASSERT_EQ(0, dump.exitCode()) << dump.readAllStandardError().toStdString();
}

/// What a database holds: every table's rows and the definition of each of its objects, with the
/// database's own name taken out so that two copies compare equal.
inline std::vector<std::string> contents(Connection& c, const std::string& database) {
    exec(c, "USE `" + database + "`");
    std::vector<std::string> out;
    auto add = [&](const std::string& sql, int column) {
        Result r = c.select(sql);
        EXPECT_TRUE(r) << sql << ": " << c.errorText();
        while (Row row = r.fetchRow()) {
            std::string line = sql + " =>";
            // A negative column takes the whole row.
            for (unsigned i = column < 0 ? 0 : column; i < (column < 0 ? r.fieldCount() : column + 1u); ++i)
                line += " | " + (row.isNull(i) ? std::string("NULL") : row.str(i));
            out.push_back(line);
        }
    };
    for (const std::string& table : column(c,
                                           "SELECT TABLE_NAME FROM information_schema.TABLES WHERE "
                                           "TABLE_SCHEMA = DATABASE() ORDER BY 1")) {
        const std::string kind = scalar(c,
                                        "SELECT TABLE_TYPE FROM information_schema.TABLES WHERE "
                                        "TABLE_SCHEMA = DATABASE() AND TABLE_NAME = '" +
                                            table + "'");
        if (kind == "VIEW") {
            add("SHOW CREATE VIEW `" + table + "`", 1);
            continue;
        }
        add("SHOW CREATE TABLE `" + table + "`", 1);
        add("SELECT * FROM `" + table + "` ORDER BY 1", -1);
    }
    for (const std::string& name : column(c,
                                          "SELECT TRIGGER_NAME FROM information_schema.TRIGGERS WHERE "
                                          "TRIGGER_SCHEMA = DATABASE() ORDER BY 1"))
        add("SHOW CREATE TRIGGER `" + name + "`", 2);
    for (const std::string type : {"PROCEDURE", "FUNCTION"})
        for (const std::string& name :
             column(c,
                    "SELECT ROUTINE_NAME FROM information_schema.ROUTINES WHERE ROUTINE_SCHEMA = "
                    "DATABASE() AND ROUTINE_TYPE = '" +
                        type + "' ORDER BY 1"))
            add("SHOW CREATE " + type + " `" + name + "`", 2);
    for (const std::string& name : column(c,
                                          "SELECT EVENT_NAME FROM information_schema.EVENTS WHERE "
                                          "EVENT_SCHEMA = DATABASE() ORDER BY 1"))
        add("SHOW CREATE EVENT `" + name + "`", 3);
    for (std::string& line : out)
        for (std::size_t at; (at = line.find(database)) != std::string::npos;)
            line.replace(at, database.size(), "(db)");
    return out;
}

}  // namespace velkin::test
