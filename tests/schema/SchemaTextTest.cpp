#include <gtest/gtest.h>

#include "schema/ColumnDefinition.h"
#include "schema/SchemaText.h"
#include "session/ServerDialect.h"

using namespace velkin;

namespace {

const ServerDialect kCurrent(101100, true);
const ServerDialect kOld(40120, false);

ColumnDefinition field(const char* name, const char* type, const char* length = "") {
    ColumnDefinition c;
    c.name = name;
    c.type = type;
    c.length = length;
    return c;
}

}  // namespace

TEST(ColumnTypes, TwentyTypesInFourClassesAndTheRulesOfEach) {
    const std::vector<std::string> expected = {"INT",       "INTEGER", "TINYINT",  "SMALLINT", "MEDIUMINT",
                                               "BIGINT",    "REAL",    "FLOAT",    "DOUBLE",   "DECIMAL",
                                               "CHAR",      "VARCHAR", "TINYBLOB", "BLOB",     "LONGBLOB",
                                               "TIMESTAMP", "DATE",    "TIME",     "DATETIME", "YEAR"};
    EXPECT_EQ(expected, columnTypes());
    for (const char* t : {"INT", "INTEGER", "TINYINT", "SMALLINT", "MEDIUMINT", "BIGINT", "REAL", "FLOAT"})
        EXPECT_EQ(TypeClass::IntegerLike, typeClass(t)) << t;
    EXPECT_EQ(TypeClass::FixedPoint, typeClass("DOUBLE"));
    EXPECT_EQ(TypeClass::FixedPoint, typeClass("DECIMAL"));
    EXPECT_EQ(TypeClass::Character, typeClass("CHAR"));
    EXPECT_EQ(TypeClass::Character, typeClass("VARCHAR"));
    for (const char* t : {"TINYBLOB", "BLOB", "LONGBLOB", "TIMESTAMP", "DATE", "TIME", "DATETIME", "YEAR"})
        EXPECT_EQ(TypeClass::Other, typeClass(t)) << t;
    EXPECT_EQ(TypeClass::Unknown, typeClass("TEXT"));
    EXPECT_EQ(TypeClass::Unknown, typeClass("int")) << "the list's texts, as listed";
    EXPECT_EQ(TypeClass::Unknown, typeClass(""));

    const TypeRules integer = typeRules(TypeClass::IntegerLike);
    EXPECT_TRUE(integer.applies && integer.lengthEnabled && integer.signEnabled && !integer.binaryEnabled);
    EXPECT_EQ(FocusAfterType::Length, integer.focus);
    const TypeRules fixed = typeRules(TypeClass::FixedPoint);
    EXPECT_TRUE(fixed.applies && fixed.lengthEnabled && fixed.signEnabled && !fixed.binaryEnabled);
    EXPECT_EQ(FocusAfterType::Default, fixed.focus);
    const TypeRules character = typeRules(TypeClass::Character);
    EXPECT_TRUE(character.applies && character.lengthEnabled && !character.signEnabled &&
                character.binaryEnabled);
    EXPECT_EQ(FocusAfterType::Length, character.focus);
    const TypeRules other = typeRules(TypeClass::Other);
    EXPECT_TRUE(other.applies && !other.lengthEnabled && !other.signEnabled && !other.binaryEnabled);
    EXPECT_EQ(FocusAfterType::Default, other.focus);
    EXPECT_FALSE(typeRules(TypeClass::Unknown).applies);
}

TEST(ColumnDefinitionText, EachClassWritesOnlyItsAttributes) {
    ColumnDefinition price = field("price", "DECIMAL", "10,2");
    price.isUnsigned = price.zerofill = price.null = true;
    price.defaultValue = "0";
    price.binary = true;  // not an attribute of numbers
    EXPECT_EQ("price DECIMAL(10,2)  UNSIGNED  ZEROFILL  NULL  DEFAULT 0", columnDefinitionText(price));

    ColumnDefinition count = field("n", "BIGINT");
    count.autoIncrement = true;
    EXPECT_EQ("n BIGINT NOT NULL  AUTO_INCREMENT ", columnDefinitionText(count))
        << "no length, no parentheses";

    ColumnDefinition name = field("name", "VARCHAR", "20");
    name.binary = true;
    name.null = name.autoIncrement = name.isUnsigned = true;
    name.defaultValue = "'x'";
    EXPECT_EQ(std::string("name") + " " + "VARCHAR" + "(" + "20" + ") " + " BINARY ",
              columnDefinitionText(name));
    EXPECT_EQ("c CHAR", columnDefinitionText(field("c", "CHAR")));

    ColumnDefinition day = field("day", "DATE", "8");
    day.null = true;
    day.defaultValue = "'2000-01-01'";
    day.autoIncrement = day.binary = true;
    EXPECT_EQ("day DATE", columnDefinitionText(day));

    ColumnDefinition odd = field("t", "TEXT", "5");
    odd.null = true;
    EXPECT_EQ("t TEXT", columnDefinitionText(odd)) << "a type outside the list carries nothing";

    ColumnDefinition quoted = field("s", "INT");
    quoted.defaultValue = "'it''s'";
    EXPECT_EQ("s INT NOT NULL  DEFAULT 'it''s'", columnDefinitionText(quoted)) << "defaults go in as typed";
}

TEST(CreateTableStatement, TheDocumentedExamplePieceByPieceWithTheDialectsKeyword) {
    ColumnDefinition id = field("id", "INT", "11");
    id.autoIncrement = true;
    id.primaryKey = true;
    for (const ServerDialect* dialect : {&kCurrent, &kOld}) {
        const std::string expected = std::string("CREATE TABLE ") + "test" + "." + "table1" + " (\r\n" +
                                     "id" + " " + "INT" + "(" + "11" + ") " + " NOT NULL " +
                                     " AUTO_INCREMENT " + ",\r\nPRIMARY KEY ( " + "id" + " )\r\n" + "\r\n)" +
                                     dialect->tableTypeKeyword() + "=" + "MyISAM" + ";";
        EXPECT_EQ(expected, createTableStatement("test", "table1", {id}, "MyISAM", *dialect));
    }
    EXPECT_NE(std::string::npos,
              createTableStatement("test", "table1", {id}, "MyISAM", kCurrent).find(")ENGINE=MyISAM;"));
    EXPECT_NE(std::string::npos,
              createTableStatement("test", "table1", {id}, "MyISAM", kOld).find(")TYPE=MyISAM;"));
    EXPECT_EQ(
        "CREATE TABLE test.table1 (\r\nid INT(11)  NOT NULL  AUTO_INCREMENT ,\r\nPRIMARY KEY ( id "
        ")\r\n\r\n);",
        createTableStatement("test", "table1", {id}, "", kCurrent))
        << "no table type, no clause";
}

TEST(CreateTableStatement, RowsKeysAndTheEmptyList) {
    EXPECT_EQ("CREATE TABLE db.t (\r\n\r\n);", createTableStatement("db", "t", {}, "", kCurrent));

    ColumnDefinition a = field("a", "INT");
    a.primaryKey = a.index = true;
    ColumnDefinition b = field("b", "CHAR", "4");
    b.primaryKey = true;
    ColumnDefinition c = field("c", "DATE");
    c.index = true;
    EXPECT_EQ(
        "CREATE TABLE db.t (\r\n"
        "a INT NOT NULL ,\r\n"
        "b CHAR(4) ,\r\n"
        "c DATE"
        ",\r\nPRIMARY KEY ( a,b )\r\n"
        ",\r\nINDEX ( a,c )\r\n"
        "\r\n)ENGINE=HEAP;",
        createTableStatement("db", "t", {a, b, c}, "HEAP", kCurrent));

    // Names and the table go in as the operator typed them.
    EXPECT_EQ("CREATE TABLE my db.my table (\r\nmy field DATE\r\n);",
              createTableStatement("my db", "my table", {field("my field", "DATE")}, "", kCurrent));

    // The rows end at the first one without a name; the separator before it is already written.
    EXPECT_EQ("CREATE TABLE db.t (\r\na DATE,\r\n\r\n);",
              createTableStatement("db", "t", {field("a", "DATE"), field("", "INT"), field("z", "DATE")}, "",
                                   kCurrent));
}

TEST(TableTypes, SortedChoicesAndWhereInnobaseComesFrom) {
    EXPECT_EQ((std::vector<std::string>{"HEAP", "ISAM", "MyISAM"}), tableTypeChoices(false));
    EXPECT_EQ((std::vector<std::string>{"HEAP", "INNOBASE", "ISAM", "MyISAM"}), tableTypeChoices(true));

    using Pairs = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(true, haveInnobase(Pairs{{"have_bdb", "NO"}, {"have_innobase", "YES"}}));
    EXPECT_EQ(false, haveInnobase(Pairs{{"have_innobase", "DISABLED"}}));
    EXPECT_EQ(false, haveInnobase(Pairs{{"have_innobase", "yes"}})) << "the answer is compared exactly";
    EXPECT_EQ(false, haveInnobase(Pairs{{"have_innobase", "YES "}}));
    EXPECT_EQ(std::nullopt, haveInnobase(Pairs{{"Have_innobase", "YES"}, {"have_innodb", "YES"}}));

    EXPECT_TRUE(innodbEngineAvailable(Pairs{{"MyISAM", "YES"}, {"InnoDB", "DEFAULT"}}));
    EXPECT_TRUE(innodbEngineAvailable(Pairs{{"InnoDB", "YES"}}));
    EXPECT_FALSE(innodbEngineAvailable(Pairs{{"InnoDB", "NO"}, {"MEMORY", "YES"}}));
    EXPECT_FALSE(innodbEngineAvailable(Pairs{{"InnoDB", "DISABLED"}}));
    EXPECT_FALSE(innodbEngineAvailable(Pairs{}));
}

TEST(TableEditorStatements, ChangeDropAndKeys) {
    EXPECT_EQ("ALTER TABLE db.t CHANGE a a int(11) NOT NULL ",
              changeFieldStatement(kCurrent, "db", "t", "a", "a", "int(11)", false, false))
        << "without the primary key word the definition ends with a blank";
    EXPECT_EQ("ALTER TABLE db.t CHANGE a b int(11) unsigned NULL PRIMARY KEY",
              changeFieldStatement(kCurrent, "db", "t", "a", "b", "int(11) unsigned", true, true));
    EXPECT_EQ("ALTER TABLE db.`order` CHANGE `select` `select` int(11) NOT NULL ",
              changeFieldStatement(kCurrent, "db", "order", "select", "select", "int(11)", false, false))
        << "names read from the server are quoted when they must be";
    EXPECT_EQ("ALTER TABLE db.t CHANGE `select` new name int(11) NOT NULL ",
              changeFieldStatement(kCurrent, "db", "t", "select", "new name", "int(11)", false, false))
        << "a typed new name goes in as typed";

    EXPECT_EQ("ALTER TABLE db.t DROP b", dropFieldStatement(kCurrent, "db", "t", "b"));
    EXPECT_EQ("ALTER TABLE db.t DROP PRIMARY KEY", dropKeyStatement(kCurrent, "db", "t", "PRIMARY"));
    EXPECT_EQ("ALTER TABLE db.t DROP INDEX idx", dropKeyStatement(kCurrent, "db", "t", "idx"));
    EXPECT_EQ("ALTER TABLE db.t DROP INDEX primary_2", dropKeyStatement(kCurrent, "db", "t", "primary_2"));
    EXPECT_EQ("ALTER TABLE db.t DROP INDEX `primary`", dropKeyStatement(kCurrent, "db", "t", "primary"))
        << "only the exact name PRIMARY is the primary key";

    EXPECT_EQ("ALTER TABLE db.t ADD PRIMARY KEY ( a,b )",
              addKeyStatement(kCurrent, "db", "t", KeyKind::Primary, "", {"a", "b"}));
    EXPECT_EQ(std::string("ALTER TABLE ") + "db" + "." + "t" + " ADD INDEX " + "idx" + " ( " + "a,b" + " )",
              addKeyStatement(kCurrent, "db", "t", KeyKind::Index, "idx", {"a", "b"}));
    EXPECT_EQ("ALTER TABLE db.t ADD INDEX ( a )",
              addKeyStatement(kCurrent, "db", "t", KeyKind::Index, "", {"a"}));
    EXPECT_EQ("ALTER TABLE db.t ADD UNIQUE u ( b,`key` )",
              addKeyStatement(kCurrent, "db", "t", KeyKind::Unique, "u", {"b", "key"}));
    EXPECT_EQ("ALTER TABLE db.t ADD UNIQUE ( b )",
              addKeyStatement(kCurrent, "db", "t", KeyKind::Unique, "", {"b"}));
}

TEST(FieldAdditionStatements, TheFieldThenItsKeysWithTwoBlanksAfterAdd) {
    ColumnDefinition n = field("n", "INT", "5");
    n.isUnsigned = true;
    EXPECT_EQ(std::string("ALTER TABLE db.t ADD ") + "n" + " " + "INT" + " " + "(" + "5" + ") " +
                  " UNSIGNED " + " NOT NULL ",
              addFieldStatement(kCurrent, "db", "t", n));
    ColumnDefinition when = field("when", "DATETIME");
    when.null = true;
    when.defaultValue = "NOW()";
    EXPECT_EQ("ALTER TABLE db.t ADD when DATETIME ", addFieldStatement(kCurrent, "db", "t", when))
        << "other types are the name and the type, and a blank";
    EXPECT_EQ("ALTER TABLE db.`table` ADD  INT  NOT NULL ",
              addFieldStatement(kCurrent, "db", "table", field("", "INT")));

    EXPECT_EQ("ALTER TABLE db.t ADD  PRIMARY KEY ( n )",
              addFieldKeyStatement(kCurrent, "db", "t", KeyKind::Primary, "ignored", "n"));
    EXPECT_EQ("ALTER TABLE db.t ADD  INDEX ( n )",
              addFieldKeyStatement(kCurrent, "db", "t", KeyKind::Index, "", "n"));
    EXPECT_EQ("ALTER TABLE db.t ADD  INDEX ix ( n )",
              addFieldKeyStatement(kCurrent, "db", "t", KeyKind::Index, "ix", "n"));
    EXPECT_EQ("ALTER TABLE db.t ADD  UNIQUE ( n )",
              addFieldKeyStatement(kCurrent, "db", "t", KeyKind::Unique, "", "n"));
    EXPECT_EQ("ALTER TABLE db.t ADD  UNIQUE un ( n )",
              addFieldKeyStatement(kCurrent, "db", "t", KeyKind::Unique, "un", "n"));
}

TEST(DatabaseAndRenameStatements, TypedNamesAsTypedServerNamesQuoted) {
    EXPECT_EQ("CREATE DATABASE velkin new", createDatabaseStatement("velkin new"));
    EXPECT_EQ("ALTER TABLE db.t RENAME db.t2", renameTableStatement(kCurrent, "db", "t", "t2"));
    EXPECT_EQ("ALTER TABLE `my-db`.`rank` RENAME `my-db`.new one",
              renameTableStatement(kCurrent, "my-db", "rank", "new one"));
}
