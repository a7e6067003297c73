#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "session/Connection.h"
#include "session/SqlText.h"
#include "support/TestServer.h"

namespace velkin::test {

// One small table per family of column types, with the rows that a careless trip changes first,
// after the server's own test suite: every value of a family that comes back different names what
// the trip cannot carry. Copies, duplicates and dumps create them, move them and compare the result
// with familyRows and familyDefinition, on one server or between two.

/// One table of the fixture.
struct TypeFamily {
    /// The table's name; the database is the caller's.
    std::string name;
    /// Its CREATE statement with the name unqualified (it runs after USE).
    std::string create;
    /// What fills it: rows, and the updates, session settings and triggers they need.
    std::vector<std::string> fill;
    /// The oldest server (as mysql_get_server_version counts) that has the family's types.
    unsigned long since = 0;
};

namespace families {

/// Every byte value once, as hexadecimal digits.
inline std::string everyByte() {
    std::string hex;
    for (int i = 0; i < 256; ++i)
        hex += sqlf("%02X", i);
    return hex;
}

}  // namespace families

inline std::vector<TypeFamily> typeFamilies() {
    const std::string bytes = families::everyByte();
    return {
        {"integers",
         "CREATE TABLE integers (id INT AUTO_INCREMENT PRIMARY KEY, t TINYINT, ut TINYINT UNSIGNED, s "
         "SMALLINT, "
         "m MEDIUMINT UNSIGNED, b BIGINT, ub BIGINT UNSIGNED ZEROFILL, y YEAR)",
         {"SET SESSION sql_mode = CONCAT(@@sql_mode, ',NO_AUTO_VALUE_ON_ZERO')",
          // The key 0 must stay 0, not become the next number (205).
          "INSERT INTO integers VALUES (0, -128, 255, -32768, 16777215, -9223372036854775808, "
          "18446744073709551615, 1901), (1, 127, 0, 32767, 0, 9223372036854775807, 0, 2155), "
          "(204, NULL, NULL, NULL, NULL, NULL, NULL, 0)",
          "SET SESSION sql_mode = DEFAULT"}},
        {"floats",
         "CREATE TABLE floats (id INT PRIMARY KEY, f FLOAT, fm FLOAT(7,2), fu FLOAT UNSIGNED, d DOUBLE, dm "
         "DOUBLE(20,5), de DECIMAL(65,30), dz DECIMAL(10,0) UNSIGNED ZEROFILL)",
         {"INSERT INTO floats VALUES (1, 1234567936, 12345.67, 16777217, 1.7976931348623157e308, "
          "123456789012345.12345, -99999999999999999999999999999999999.999999999999999999999999999999, 42), "
          "(2, 0.1, -0.01, 3.4028234e38, 2.2250738585072014e-308, -0.00001, "
          "0.000000000000000000000000000001, "
          "0), (3, -1.1754944e-38, 99999.99, 1.4e-45, 0.1, NULL, NULL, NULL), "
          "(4, 3.14159265, 0.125, 7e-10, -3.141592653589793, 0, 0, NULL), (5, NULL, NULL, NULL, NULL, NULL, "
          "NULL, NULL)"}},
        {"temporal",
         "CREATE TABLE temporal (id INT PRIMARY KEY, d DATE, t TIME(6), dt DATETIME(6), ts TIMESTAMP(6) NULL "
         "DEFAULT NULL, t0 TIME, ts0 TIMESTAMP NULL DEFAULT NULL)",
         {"SET time_zone = '+00:00'",
          "INSERT INTO temporal VALUES (1, '1000-01-01', '-838:59:59', '1000-01-01 00:00:00', "
          "'1970-01-01 00:00:01', '838:59:59', '2038-01-19 03:14:07'), (2, '9999-12-31', '12:34:56.789012', "
          "'9999-12-31 23:59:59.999999', '2038-01-19 03:14:07.999999', '00:00:00', NULL), (3, '0000-00-00', "
          "'00:00:00', '0000-00-00 00:00:00', '2024-03-31 01:30:00.5', NULL, '2024-10-27 02:30:00'), "
          "(4, NULL, NULL, NULL, NULL, NULL, '0000-00-00 00:00:00')",
          "SET time_zone = DEFAULT"}},
        {"texts",
         "CREATE TABLE texts (id INT PRIMARY KEY, u VARCHAR(100) CHARACTER SET utf8mb4, l VARCHAR(300) "
         "CHARACTER "
         "SET latin1, a VARCHAR(20) CHARACTER SET ascii, u3 TEXT CHARACTER SET utf8mb3, c CHAR(10) CHARACTER "
         "SET "
         "utf8mb4 COLLATE utf8mb4_bin, u16 VARCHAR(20) CHARACTER SET utf16)",
         {"INSERT INTO texts VALUES (1, 'emoji \xF0\x9F\x98\x80 clef \xF0\x9D\x84\x9E "
          "\xE6\x97\xA5\xE6\x9C\xAC', "
          "X'808182838485868788898A8B8C8D8E8F909192939495969798999A9B9C9D9E9FA0A1FEFF', 'plain', "
          "'\xC3\xBF \xC3\xBC', 'tail  ', '\xCF\x89'), (2, '', '', '', '', '', ''), "
          "(3, CONCAT('a', CHAR(0), 'b', CHAR(10), 'c', CHAR(13), CHAR(10), 'd', CHAR(9), CHAR(26), '\\\\', "
          "''''), 'O''Brien \\\\N \"dq\"', 'NULL', NULL, 'trailing  ', NULL), (4, NULL, NULL, NULL, NULL, "
          "NULL, "
          "NULL)"}},
        {"east_asian",
         // Codes with no Unicode mapping (sjis F040, big5 A3E1, gbk AAA1), codes that share one with
         // another code (cp932 8790 and ED40) and ordinary characters beside them.
         "CREATE TABLE east_asian (id INT PRIMARY KEY, s VARCHAR(20) CHARACTER SET sjis, c VARCHAR(20) "
         "CHARACTER "
         "SET cp932, b VARCHAR(20) CHARACTER SET big5, g VARCHAR(20) CHARACTER SET gbk, uj VARCHAR(20) "
         "CHARACTER "
         "SET ujis, k VARCHAR(20) CHARACTER SET koi8r, e ENUM('x', 'y') CHARACTER SET sjis)",
         {"INSERT INTO east_asian VALUES (1, X'F040', X'8790', X'A3E1', X'AAA1', X'A4A2', X'C1C2', 'y'), "
          "(2, X'8790', X'ED40', X'A1C3', X'A140', X'8EB1', X'FF', 'x'), (3, X'82A082A2', X'81CA', X'A440', "
          "X'C4E3', X'B0A1', X'41', NULL), (4, '', '', '', '', '', '', 'x'), (5, NULL, NULL, NULL, NULL, "
          "NULL, "
          "NULL, NULL)"}},
        {"blobs",
         "CREATE TABLE blobs (id INT PRIMARY KEY, b BLOB, lb LONGBLOB, bi BINARY(4), vb VARBINARY(300))",
         {sqlf("INSERT INTO blobs VALUES (1, X'%s', REPEAT(X'00FF5C27220A0D1A', 9000), X'00000000', X'00'), "
               "(2, '', '', X'20', ''), (3, NULL, NULL, NULL, NULL), (4, X'5C', X'27', X'0A0D', X'%s')",
               bytes, bytes)}},
        {"enums",
         "CREATE TABLE enums (id INT PRIMARY KEY, e ENUM('', 'a', 'b b', '\xC3\x9C'), z ENUM('0', '1', '2'), "
         "s SET('a', 'b', 'c', 'd d'))",
         // Outside strict mode a value that is no member is stored as the error value, position 0,
         // which reads as '' like the member '' at position 1.
         {"SET SESSION sql_mode = ''",
          "INSERT INTO enums VALUES (1, '', '0', ''), (2, 'no such', 'x', 'a,c'), (3, '\xC3\x9C', 2, 'd "
          "d,a'), "
          "(4, NULL, NULL, NULL), (5, 3, '2', 15)",
          "SET SESSION sql_mode = DEFAULT"}},
        {"bits",
         "CREATE TABLE bits (id INT PRIMARY KEY, b1 BIT(1), b10 BIT(10), b64 BIT(64))",
         {"INSERT INTO bits VALUES (1, b'1', b'1010101010', 18446744073709551615), (2, 0, 0, 0), (3, NULL, "
          "NULL, "
          "NULL), (4, 1, 512, 9223372036854775808)"}},
        {"json_documents",
         "CREATE TABLE json_documents (id INT PRIMARY KEY, j JSON)",
         {"INSERT INTO json_documents VALUES (1, '{\"a\": [1, 2.5e300, \"x\\\\\"y\"], \"\xE6\x97\xA5\": "
          "null}'), "
          "(2, '[]'), (3, NULL), (4, '\"\\\\u0000 line\\\\nbreak\"')"}},
        {"network",
         "CREATE TABLE network (id INT PRIMARY KEY, i6 INET6, u UUID, i4 INET4)",
         {"INSERT INTO network VALUES (1, '::', '00000000-0000-0000-0000-000000000000', '0.0.0.0'), "
          "(2, 'ffff:ffff:ffff:ffff:ffff:ffff:ffff:ffff', 'ffffffff-ffff-ffff-ffff-ffffffffffff', "
          "'255.255.255.255'), (3, '::ffff:1.2.3.4', '123e4567-e89b-12d3-a456-426655440000', '10.0.0.1'), "
          "(4, NULL, NULL, NULL)"},
         101000},
        {"geometries",
         "CREATE TABLE geometries (id INT PRIMARY KEY, g GEOMETRY, p POINT, pg POLYGON, gc "
         "GEOMETRYCOLLECTION)",
         {"INSERT INTO geometries VALUES (1, ST_GeomFromText('LINESTRING(0 0,1 1,2 3)'), "
          "ST_GeomFromText('POINT(1.5 -2.25)', 4326), ST_GeomFromText('POLYGON((0 0,10 0,10 10,0 10,0 0))'), "
          "ST_GeomFromText('GEOMETRYCOLLECTION(POINT(1 1),LINESTRING(0 0,1 1))')), (2, NULL, NULL, NULL, "
          "NULL), "
          "(3, ST_GeomFromText('POINT(1e300 -1e-300)'), ST_GeomFromText('POINT(0.1 0.2)'), NULL, NULL)"}},
        {"generated",
         "CREATE TABLE generated (id INT PRIMARY KEY, a INT, b VARCHAR(20), v INT AS (a * 2) VIRTUAL, s "
         "VARCHAR(40) AS (CONCAT(b, '!')) STORED, KEY (s))",
         {"INSERT INTO generated (id, a, b) VALUES (1, 1, 'x'), (2, NULL, NULL), (3, -5, '\xC3\xBC')"}},
        {"invisible",
         // select * leaves these out, and a renumbered invisible key shows nowhere.
         "CREATE TABLE invisible (id INT AUTO_INCREMENT PRIMARY KEY INVISIBLE, a VARCHAR(10), h INT "
         "INVISIBLE "
         "DEFAULT 7, n INT INVISIBLE NULL)",
         {"INSERT INTO invisible (id, a, h, n) VALUES (10, 'x', 1, NULL), (20, 'y', NULL, 5), (35, NULL, 7, "
          "0)"}},
        {"keyless",
         "CREATE TABLE keyless (a INT, b TEXT) ENGINE=Aria",
         {"INSERT INTO keyless VALUES (1, 'x'), (1, 'x'), (NULL, NULL), (2, '')"}},
        {"fk_parent",
         "CREATE TABLE fk_parent (id INT PRIMARY KEY, name VARCHAR(20))",
         {"INSERT INTO fk_parent VALUES (1, 'one'), (2, 'two')"}},
        {"fk_child",
         // A child with both kinds of generated column, loaded where its parent does not exist.
         "CREATE TABLE fk_child (id INT PRIMARY KEY, parent INT, qty INT, total INT AS (qty * 10) STORED, "
         "label VARCHAR(30) AS (CONCAT('#', id)) VIRTUAL, FOREIGN KEY (parent) REFERENCES fk_parent (id))",
         {"INSERT INTO fk_child (id, parent, qty) VALUES (1, 1, 3), (2, 2, NULL), (3, NULL, 1)"}},
        {"partitioned",
         "CREATE TABLE partitioned (id INT, d DATE, PRIMARY KEY (id, d)) PARTITION BY RANGE (YEAR(d)) "
         "(PARTITION p0 VALUES LESS THAN (2000), PARTITION p1 VALUES LESS THAN MAXVALUE)",
         {"INSERT INTO partitioned VALUES (1, '1999-12-31'), (2, '2000-01-01'), (3, '2024-02-29')"}},
        {"versioned",
         "CREATE TABLE versioned (id INT PRIMARY KEY, a VARCHAR(20)) WITH SYSTEM VERSIONING",
         {"SET @@timestamp = 1000000000.25", "INSERT INTO versioned VALUES (1, 'first'), (2, 'two')",
          "SET @@timestamp = 1100000000.5", "UPDATE versioned SET a = 'second' WHERE id = 1",
          "SET @@timestamp = 1200000000", "DELETE FROM versioned WHERE id = 2",
          "INSERT INTO versioned VALUES (3, 'three')", "SET @@timestamp = DEFAULT"},
         100300},
        {"versioned_declared",
         // Row start and row end declared and visible, which an INSERT may not name unless it keeps history.
         "CREATE TABLE versioned_declared (id INT PRIMARY KEY, a INT, rs TIMESTAMP(6) GENERATED ALWAYS AS "
         "ROW "
         "START, re TIMESTAMP(6) GENERATED ALWAYS AS ROW END, PERIOD FOR SYSTEM_TIME(rs, re)) WITH SYSTEM "
         "VERSIONING",
         {"SET @@timestamp = 1000000000", "INSERT INTO versioned_declared (id, a) VALUES (1, 1), (2, 2)",
          "SET @@timestamp = 1000000001.75", "UPDATE versioned_declared SET a = a + 10",
          "SET @@timestamp = DEFAULT"},
         100300},
        {"sequence_counter",
         "CREATE SEQUENCE sequence_counter START WITH 100 MINVALUE 50 MAXVALUE 1000 INCREMENT BY 7 CACHE 5 "
         "CYCLE",
         {"DO NEXTVAL(sequence_counter)", "DO NEXTVAL(sequence_counter)"},
         100300},
        {"triggered",
         "CREATE TABLE triggered (id INT PRIMARY KEY, n INT, note VARCHAR(60))",
         // Rows first: a reload that fires the triggers changes every row.
         {"INSERT INTO triggered VALUES (1, 1, 'a'), (2, NULL, 'semi;colon')",
          "CREATE TRIGGER triggered_bi BEFORE INSERT ON triggered FOR EACH ROW\nBEGIN\n  SET NEW.n = "
          "IFNULL(NEW.n, 0) + 100;\n  SET NEW.note = CONCAT(NEW.note, ';;', 'x\ny');\nEND",
          "CREATE TRIGGER triggered_first BEFORE INSERT ON triggered FOR EACH ROW PRECEDES triggered_bi SET "
          "NEW.n "
          "= NEW.n * 2",
          "CREATE TRIGGER triggered_bu BEFORE UPDATE ON triggered FOR EACH ROW SET NEW.note = "
          "UPPER(NEW.note)"}},
    };
}

/// The second private server of the test run, which a transfer reaches as another server.
inline unsigned int otherServerPort() {
    QFile portFile(QString::fromLocal8Bit(qgetenv("VELKIN_OTHER_SERVER_DIR")) + "/port");
    if (!portFile.open(QIODevice::ReadOnly))
        return 0;
    return QString::fromLatin1(portFile.readAll()).trimmed().toUInt();
}

inline std::unique_ptr<Connection> connectOther() {
    auto c = std::make_unique<Connection>();
    if (!c->connect(testHost(), "root", "", otherServerPort()))
        ADD_FAILURE() << "no second server: " << c->errorText();
    return c;
}

/// Creates, in database (which exists and is empty), the table of every family the server has the
/// types for; returns their names in order (parents before children).
inline std::vector<std::string> createTypeFamilies(Connection& c, const std::string& database) {
    std::vector<std::string> names;
    exec(c, "USE `" + database + "`");
    for (const TypeFamily& family : typeFamilies()) {
        if (family.since > c.serverVersion())
            continue;
        exec(c, family.create);
        for (const std::string& statement : family.fill)
            exec(c, statement);
        names.push_back(family.name);
    }
    return names;
}

/// A table's rows value by value in a form that does not depend on the server or the session: every
/// value in hexadecimal (FLOAT and DOUBLE as the digits of a double, ENUM and SET as positions,
/// TIMESTAMP as seconds since 1970), NULL as N, invisible and generated columns included, the past
/// versions of a system-versioned table with their row start and end; sorted.
inline std::vector<std::string> familyRows(Connection& c, const std::string& database,
                                           const std::string& table) {
    const std::string where =
        sqlf("TABLE_SCHEMA = '%s' AND TABLE_NAME = '%s'", c.escape(database), c.escape(table));
    const bool versioned =
        scalar(c, "SELECT TABLE_TYPE FROM information_schema.TABLES WHERE " + where) == "SYSTEM VERSIONED";
    Result columns = c.select(
        "SELECT COLUMN_NAME, LOWER(DATA_TYPE), IFNULL(GENERATION_EXPRESSION, '') FROM "
        "information_schema.COLUMNS WHERE " +
        where + " ORDER BY ORDINAL_POSITION");
    std::vector<std::pair<std::string, std::string>> list;
    bool declaredPeriod = false;
    while (Row row = columns.fetchRow()) {
        list.emplace_back(row.str(0), row.str(1));
        declaredPeriod = declaredPeriod || row.text(2) == "ROW START";
    }
    if (versioned && !declaredPeriod) {
        list.emplace_back("row_start", "timestamp");
        list.emplace_back("row_end", "timestamp");
    }
    std::string values;
    for (const auto& [name, type] : list) {
        const std::string n = "`" + name + "`";
        std::string value = "HEX(CONCAT(" + n + "))";
        if (type == "float" || type == "double")
            value = "HEX(CONCAT(" + n + " + 0e0))";
        else if (type == "enum" || type == "set")
            value = "CONCAT(" + n + " + 0)";
        else if (type == "timestamp")
            value = "CONCAT(UNIX_TIMESTAMP(" + n + "))";
        else if (type == "geometry" || type == "point" || type == "polygon" || type == "linestring" ||
                 type == "geometrycollection" || type.rfind("multi", 0) == 0)
            value = "HEX(" + n + ")";
        values += (values.empty() ? "" : ", ") + ("IFNULL(" + value + ", 'N')");
    }
    if (values.empty())
        return {};
    return column(c, sqlf("SELECT CONCAT_WS('|', %s) FROM `%s`.`%s`%s ORDER BY 1", values, database, table,
                          versioned ? " FOR SYSTEM_TIME ALL" : ""));
}

/// What defines a table beside its rows: its CREATE as the server shows it and each of its triggers
/// (name, timing, event, order, sql_mode, definer, body).
inline std::vector<std::string> familyDefinition(Connection& c, const std::string& database,
                                                 const std::string& table) {
    std::vector<std::string> definition;
    Result create = c.select(sqlf("SHOW CREATE TABLE `%s`.`%s`", database, table));
    if (Row row = create.fetchRow())
        definition.push_back(row.str(1));
    const std::vector<std::string> triggers =
        column(c, sqlf("SELECT CONCAT_WS('|', TRIGGER_NAME, ACTION_TIMING, EVENT_MANIPULATION, ACTION_ORDER, "
                       "SQL_MODE, DEFINER, ACTION_STATEMENT) FROM information_schema.TRIGGERS WHERE "
                       "EVENT_OBJECT_SCHEMA = '%s' AND EVENT_OBJECT_TABLE = '%s' ORDER BY 1",
                       c.escape(database), c.escape(table)));
    definition.insert(definition.end(), triggers.begin(), triggers.end());
    return definition;
}

}  // namespace velkin::test
