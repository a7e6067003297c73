#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <string>
#include <utility>
#include <vector>

#include "session/CSorvaneDoc.h"
#include "session/Connection.h"
#include "session/SqlText.h"
#include "support/TestServer.h"

namespace velkin::test {

/// Every statement sent while it lives, with the connection it went out on.
class ConnectionStatements {
public:
    ConnectionStatements() {
        Connection::setStatementObserver(
            [this](const Connection& c, const std::string& sql) { sent.emplace_back(&c, sql); });
    }
    ~ConnectionStatements() { Connection::setStatementObserver(nullptr); }
    ConnectionStatements(const ConnectionStatements&) = delete;
    ConnectionStatements& operator=(const ConnectionStatements&) = delete;

    /// The statements sent on one connection, in order.
    std::vector<std::string> on(const Connection& c) const {
        std::vector<std::string> list;
        for (const auto& [connection, sql] : sent)
            if (connection == &c)
                list.push_back(sql);
        return list;
    }
    std::vector<std::string> all() const {
        std::vector<std::string> list;
        for (const auto& entry : sent)
            list.push_back(entry.second);
        return list;
    }
    /// How many statements began with prefix.
    int countStartingWith(const std::string& prefix) const {
        int n = 0;
        for (const auto& entry : sent)
            if (entry.second.rfind(prefix, 0) == 0)
                ++n;
        return n;
    }
    /// The statements that began with one of the prefixes, in order.
    std::vector<std::string> startingWith(const std::vector<std::string>& prefixes) const {
        std::vector<std::string> list;
        for (const auto& entry : sent)
            for (const std::string& prefix : prefixes)
                if (entry.second.rfind(prefix, 0) == 0) {
                    list.push_back(entry.second);
                    break;
                }
        return list;
    }
    void clear() { sent.clear(); }

    std::vector<std::pair<const Connection*, std::string>> sent;
};

/// The test server's administrator as the session's login, for screens that open a reader of their own.
inline LoginValues sessionLogin() {
    return {QString::fromStdString(adminAccount().user), QString::fromStdString(adminAccount().password),
            QString::fromStdString(testHost()), QString::number(testPort())};
}

/// A table with the values that break naive copies: NULLs, quotes, backslashes, line breaks, text
/// beyond ASCII and a BLOB holding every byte value; plainRows ordinary rows follow the seven odd
/// ones.
inline void createAwkwardTable(Connection& c, const std::string& database, const std::string& name,
                               int plainRows) {
    const std::string table = database + "." + name;
    exec(c, sqlf("CREATE TABLE %s (id INT PRIMARY KEY, name VARCHAR(40), note TEXT, amount DECIMAL(10,2), "
                 "data BLOB) ENGINE=InnoDB",
                 table));
    exec(c,
         sqlf("INSERT INTO %s VALUES (1, NULL, NULL, NULL, NULL), (2, 'O''Brien', 'say \"hi\"', 1.50, ''), "
              "(3, 'back\\\\slash', 'line\\nbreak\\r\\n', -2.25, 0x00275C0A0D1A22), "
              "(4, 'NULL', 'null', 0, 0x4E554C4C), (5, 'Ünïcødé 日本', '\\'quoted\\'', 99.99, NULL), "
              "(6, '', '', NULL, 0xFF)",
              table));
    // Every byte value once, in a row of its own.
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += sqlf("%02X", i);
    exec(c, sqlf("INSERT INTO %s VALUES (7, 'all bytes', NULL, NULL, 0x%s)", table, bytes));
    if (plainRows > 0)
        exec(c, sqlf("INSERT INTO %s SELECT seq + 7, CONCAT('row ', seq), REPEAT('x', seq %% 7), seq / 4, "
                     "UNHEX(MD5(seq)) FROM %s.seq_1_to_%d",
                     table, database, plainRows));
}

/// The rows of a table as text, binary columns in hexadecimal and NULL marked, ordered by id.
inline std::vector<std::string> awkwardRows(Connection& c, const std::string& table) {
    return column(c, sqlf("SELECT CONCAT_WS('|', id, IFNULL(HEX(name), 'N'), IFNULL(HEX(note), 'N'), "
                          "IFNULL(amount, 'N'), IFNULL(HEX(data), 'N')) FROM %s ORDER BY id",
                          table));
}

inline std::string checksum(Connection& c, const std::string& table) {
    Result r = c.select("CHECKSUM TABLE " + table);
    Row row = r.fetchRow();
    return row ? row.str(1) : "(none)";
}

/// A table of the values a round trip loses first: NULL beside '' and the text 'NULL', quotes,
/// backslashes, control bytes, every byte value, 4-byte UTF-8, half-width kana, a 60 KB BLOB,
/// extreme decimals and doubles, zero and extreme dates, and TIMESTAMPs given as instants in UTC.
inline void createTortureTable(Connection& c, const std::string& table) {
    exec(c, sqlf("CREATE TABLE %s (id INT PRIMARY KEY, s VARCHAR(200) CHARACTER SET utf8mb4, b LONGBLOB, "
                 "d DECIMAL(65,30), f DOUBLE, dt DATETIME(6), da DATE, ts TIMESTAMP(6) NULL DEFAULT NULL) "
                 "ENGINE=InnoDB",
                 table));
    exec(c, "SET time_zone = '+00:00'");
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += sqlf("%02X", i);
    exec(
        c,
        sqlf(
            "INSERT INTO %s VALUES (1, NULL, NULL, NULL, NULL, NULL, NULL, NULL), "
            "(2, '', '', 0, 0, '0000-00-00 00:00:00', '0000-00-00', '1970-01-01 00:00:01'), "
            "(3, 'NULL', 'NULL', '-99999999999999999999999999999999999.999999999999999999999999999999', "
            "1.7976931348623157e308, '1000-01-01 00:00:00', '1000-01-01', '2038-01-19 03:14:07.999999'), "
            "(4, 'O''Brien \"dq\" back\\\\slash \\\\N', 0x%s, 0.000000000000000000000000000001, "
            "-2.2250738585072014e-308, '9999-12-31 23:59:59.999999', '9999-12-31', '2001-09-09 01:46:40.5'), "
            "(5, 'emoji \xF0\x9F\x98\x80 clef \xF0\x9D\x84\x9E', REPEAT(0x00FF5C27220A0D1A, 7680), "
            "12345.678, "
            "0.1, '2024-02-29 12:00:00', '2024-02-29', '2024-03-31 01:30:00'), "
            "(6, '\xEF\xBD\xB1\xEF\xBD\xB2\xEF\xBD\xB3\xEF\xBE\x8A\xEF\xBE\x9F', 0x00, -0.5, -1e-300, NULL, "
            "NULL, NULL), "
            "(7, CONCAT('a', CHAR(0), 'b', CHAR(10), 'c', CHAR(13), CHAR(10), 'd', CHAR(9), CHAR(26), "
            "'\\\\', "
            "''''), ' ', 1, 123456789.123456789, '1999-12-31 23:59:59', '1999-12-31', NULL), "
            "(8, 'trailing  ', 0x5C, NULL, 3.141592653589793, NULL, NULL, '2000-01-01 00:00:00')",
            table, bytes));
    exec(c, "SET time_zone = DEFAULT");
}

/// Each row of a torture table column by column, as SQL renders it: texts and bytes in hexadecimal,
/// NULL marked, TIMESTAMPs as instants, so that rows from servers in other zones compare too.
inline std::vector<std::string> tortureRows(Connection& c, const std::string& table) {
    return column(c,
                  sqlf("SELECT CONCAT_WS('|', id, IFNULL(HEX(s), 'N'), IFNULL(HEX(b), 'N'), IFNULL(d, 'N'), "
                       "IFNULL(CAST(f AS CHAR), 'N'), IFNULL(dt, 'N'), IFNULL(da, 'N'), "
                       "IFNULL(UNIX_TIMESTAMP(ts), 'N')) FROM %s ORDER BY id",
                       table));
}

/// How many rows of a have no equal row in b on the same server, compared column by column.
inline std::string differingRows(Connection& c, const std::string& a, const std::string& b) {
    return scalar(
        c, sqlf("SELECT COUNT(*) FROM %s x LEFT JOIN %s y ON y.id = x.id AND BINARY y.s <=> BINARY x.s "
                "AND y.b <=> x.b AND y.d <=> x.d AND y.f <=> x.f AND y.dt <=> x.dt AND y.da <=> x.da AND "
                "UNIX_TIMESTAMP(y.ts) <=> UNIX_TIMESTAMP(x.ts) WHERE y.id IS NULL",
                a, b));
}

/// Feeds a file, as it stands, to the standard command-line client with no default database and no
/// option files. Empty when the client loaded all of it; else its exit code and what it said.
inline std::string loadWithClient(const QString& path, unsigned int port = testPort()) {
    QProcess client;
    client.setStandardInputFile(path);
    client.start(
        QStandardPaths::findExecutable("mariadb"),
        {"--no-defaults", "-h" + QString::fromStdString(testHost()), "-P" + QString::number(port), "-uroot"});
    if (!client.waitForStarted())
        return "the client did not start";
    if (!client.waitForFinished(600000))
        return "the client did not finish";
    if (client.exitStatus() == QProcess::NormalExit && client.exitCode() == 0)
        return {};
    return "exit " + std::to_string(client.exitCode()) + ": " + client.readAllStandardError().toStdString();
}

/// Every line feed as CR LF, as a text-mode file holds it.
inline std::string toCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

}  // namespace velkin::test
