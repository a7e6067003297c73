#include <gtest/gtest.h>

#include "SchemaTesting.h"
#include "schema/ColumnChangeText.h"
#include "session/ServerDialect.h"

using namespace velkin;
using namespace velkin::test;

namespace {

ColumnChange keep(const ServerColumn& column) {
    ColumnChange change;
    change.newName = column.name;
    change.nullable = column.nullable;
    return change;
}

std::string definition(const ServerColumn& column, const ServerDialect& dialect = kMariaDb) {
    return columnDefinitionFor(dialect, column, keep(column), quote);
}

}  // namespace

TEST(ServerColumnReading, BothListingsGiveTheSameDescription) {
    const NamedCells schema = {{"COLUMN_NAME", "txt"},
                               {"COLUMN_TYPE", "varchar(30)"},
                               {"CHARACTER_SET_NAME", "utf8mb4"},
                               {"COLLATION_NAME", "utf8mb4_bin"},
                               {"IS_NULLABLE", "NO"},
                               {"COLUMN_KEY", "MUL"},
                               {"COLUMN_DEFAULT", "'x''y'"},
                               {"EXTRA", ""},
                               {"COLUMN_COMMENT", "note"},
                               {"GENERATION_EXPRESSION", std::nullopt},
                               {"IS_GENERATED", "NEVER"}};
    ServerColumn a = serverColumnFromCells(schema);
    a.defaultIsSql = true;  // as this server writes its defaults
    EXPECT_EQ("txt", a.name);
    EXPECT_EQ("varchar(30)", a.type);
    EXPECT_EQ("utf8mb4", a.charset.value_or("-"));
    EXPECT_EQ("utf8mb4_bin", a.collation.value_or("-"));
    EXPECT_FALSE(a.nullable);
    EXPECT_EQ("MUL", a.key);
    EXPECT_EQ("'x''y'", a.defaultValue.value_or("-"));
    EXPECT_EQ("note", a.comment);
    EXPECT_FALSE(a.generation);

    const NamedCells full = {{"Field", "txt"}, {"Type", "varchar(30)"},  {"Collation", "utf8mb4_bin"},
                             {"Null", "NO"},   {"Key", "MUL"},           {"Default", "x'y"},
                             {"Extra", ""},    {"Privileges", "select"}, {"Comment", "note"}};
    const ServerColumn b = serverColumnFromCells(full);
    EXPECT_EQ("utf8mb4", b.charset.value_or("-")) << "the character set from the collation's first word";
    EXPECT_EQ("x'y", b.defaultValue.value_or("-"));
    EXPECT_EQ(definition(a),
              "txt varchar(30) CHARACTER SET utf8mb4 COLLATE utf8mb4_bin NOT NULL DEFAULT 'x''y' "
              "COMMENT 'note'");
    EXPECT_EQ(definition(a), definition(b)) << "a bare default is quoted as a value";

    const ServerColumn number = serverColumnFromCells({{"Field", "n"},
                                                       {"Type", "int(11)"},
                                                       {"Null", "YES"},
                                                       {"Collation", std::nullopt},
                                                       {"Default", std::nullopt}});
    EXPECT_FALSE(number.charset);
    EXPECT_TRUE(number.nullable);
    EXPECT_EQ("n int(11) NULL", definition(number)) << "no default of its own, none written";

    const ServerColumn generated = serverColumnFromCells({{"COLUMN_NAME", "g"},
                                                          {"COLUMN_TYPE", "int(11)"},
                                                          {"IS_NULLABLE", "YES"},
                                                          {"EXTRA", "STORED GENERATED"},
                                                          {"GENERATION_EXPRESSION", "`n` + 1"},
                                                          {"IS_GENERATED", "ALWAYS"}});
    EXPECT_EQ("g int(11) GENERATED ALWAYS AS (`n` + 1) STORED", definition(generated));
    const ServerColumn plainMySql = serverColumnFromCells(
        {{"COLUMN_NAME", "p"}, {"COLUMN_TYPE", "int"}, {"IS_NULLABLE", "NO"}, {"GENERATION_EXPRESSION", ""}});
    EXPECT_FALSE(plainMySql.generation) << "an empty expression is no generated column";

    EXPECT_TRUE(defaultsAreSql(kMariaDb));
    EXPECT_FALSE(defaultsAreSql(ServerDialect(100206, true)));
    EXPECT_FALSE(defaultsAreSql(kMySql));
}

TEST(ColumnChangeDefinition, EveryAttributeTheServerHasIsRepeated) {
    ServerColumn id;
    id.name = "id";
    id.type = "int(10) unsigned";
    id.nullable = false;
    id.key = "PRI";
    id.extra = "auto_increment";
    id.comment = "row's id";
    id.defaultIsSql = true;
    EXPECT_EQ("id int(10) unsigned NOT NULL AUTO_INCREMENT COMMENT 'row''s id'", definition(id));

    ServerColumn ts;
    ts.name = "ts";
    ts.type = "timestamp(3)";
    ts.nullable = false;
    ts.defaultValue = "current_timestamp(3)";
    ts.defaultIsSql = true;
    ts.extra = "on update current_timestamp(3)";
    EXPECT_EQ("ts timestamp(3) NOT NULL DEFAULT current_timestamp(3) ON UPDATE current_timestamp(3)",
              definition(ts));
    // The same column as a server with bare defaults describes it.
    ts.defaultValue = "CURRENT_TIMESTAMP(3)";
    ts.defaultIsSql = false;
    ts.extra = "DEFAULT_GENERATED on update CURRENT_TIMESTAMP(3)";
    EXPECT_EQ("ts timestamp(3) NOT NULL DEFAULT CURRENT_TIMESTAMP(3) ON UPDATE CURRENT_TIMESTAMP(3)",
              definition(ts, kMySql));

    ServerColumn expression;
    expression.name = "r";
    expression.type = "double";
    expression.defaultValue = "rand()";
    expression.extra = "DEFAULT_GENERATED";
    EXPECT_EQ("r double NULL DEFAULT (rand())", definition(expression, kMySql));

    ServerColumn bits;
    bits.name = "b";
    bits.type = "bit(3)";
    bits.defaultValue = "b'101'";
    EXPECT_EQ("b bit(3) NULL DEFAULT b'101'", definition(bits, kMySql));

    ServerColumn nullDefault;
    nullDefault.name = "d";
    nullDefault.type = "datetime";
    nullDefault.defaultValue = "NULL";
    nullDefault.defaultIsSql = true;
    EXPECT_EQ("d datetime NULL DEFAULT NULL", definition(nullDefault));
    ColumnChange notNull = keep(nullDefault);
    notNull.nullable = false;
    EXPECT_EQ("d datetime NOT NULL", columnDefinitionFor(kMariaDb, nullDefault, notNull, quote))
        << "a column made NOT NULL loses its NULL default";
    nullDefault.defaultIsSql = false;
    EXPECT_EQ("d datetime NULL DEFAULT 'NULL'", definition(nullDefault, kMySql))
        << "a bare default is the text, never the keyword";

    ServerColumn hidden;
    hidden.name = "h";
    hidden.type = "enum('a','b')";
    hidden.charset = "utf8mb4";
    hidden.collation = "utf8mb4_general_ci";
    hidden.defaultValue = "'b'";
    hidden.defaultIsSql = true;
    hidden.extra = "INVISIBLE";
    EXPECT_EQ("h enum('a','b') CHARACTER SET utf8mb4 COLLATE utf8mb4_general_ci NULL DEFAULT 'b' INVISIBLE",
              definition(hidden));

    ServerColumn binary;
    binary.name = "v";
    binary.type = "varbinary(10)";
    binary.charset = "binary";
    binary.collation = "binary";
    EXPECT_EQ("v varbinary(10) NULL", definition(binary)) << "bytes have no character set to name";
}

TEST(ColumnChangeDefinition, OnlyWhatTheOperatorChangedIsReplaced) {
    ServerColumn txt;
    txt.name = "select";
    txt.type = "varchar(30)";
    txt.charset = "utf8mb4";
    txt.collation = "utf8mb4_bin";
    txt.nullable = true;
    txt.defaultValue = "'x'";
    txt.defaultIsSql = true;
    txt.comment = "c";
    ColumnChange change = keep(txt);
    change.newName = "new `name`";
    change.nullable = false;
    EXPECT_EQ(
        "ALTER TABLE db.`my t` CHANGE `select` `new ``name``` varchar(30) CHARACTER SET utf8mb4 COLLATE "
        "utf8mb4_bin NOT NULL DEFAULT 'x' COMMENT 'c'",
        changeColumnStatement(kMariaDb, "db", "my t", txt, change, quote));

    change = keep(txt);
    change.addPrimaryKey = true;
    EXPECT_EQ(
        "ALTER TABLE db.t CHANGE `select` `select` varchar(30) CHARACTER SET utf8mb4 COLLATE utf8mb4_bin "
        "NULL DEFAULT 'x' COMMENT 'c' PRIMARY KEY",
        changeColumnStatement(kMariaDb, "db", "t", txt, change, quote));

    ServerColumn a;
    a.name = "a";
    a.type = "int(11)";
    a.nullable = false;
    change = keep(a);
    change.leavePrimaryKey = true;
    EXPECT_EQ("ALTER TABLE db.t CHANGE a a int(11) NOT NULL, DROP PRIMARY KEY",
              changeColumnStatement(kMariaDb, "db", "t", a, change, quote));
    change.otherPrimaryColumns = {"b", "my c"};
    EXPECT_EQ("ALTER TABLE db.t CHANGE a a int(11) NOT NULL, DROP PRIMARY KEY, ADD PRIMARY KEY (b,`my c`)",
              changeColumnStatement(kMariaDb, "db", "t", a, change, quote));
}

TEST(ColumnChangeDefinition, ReadingStatements) {
    EXPECT_EQ(
        "SELECT * FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = 'd''b' AND TABLE_NAME = 't' AND "
        "COLUMN_NAME = 'my c'",
        columnInfoStatement("d'b", "t", "my c", quote));
    EXPECT_EQ("SHOW FULL COLUMNS FROM db.`my t` LIKE 'a\\_b'",
              fullColumnsStatement(kMariaDb, "db", "my t", "a_b"));
}
