#include <gtest/gtest.h>

#include "SchemaTesting.h"
#include "schema/ColumnDefinition.h"
#include "schema/SchemaText.h"
#include "session/ServerDialect.h"

using namespace velkin;
using namespace velkin::test;

namespace {

ColumnDefinition field(const char* name, const char* type, const char* length = "") {
    ColumnDefinition c;
    c.name = name;
    c.type = type;
    c.length = length;
    return c;
}

std::string definition(const ColumnDefinition& c) {
    return columnDefinitionText(kMariaDb, c, quote);
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

TEST(ColumnDefinitionText, EachClassWritesItsAttributesAndEveryTypeItsNullabilityAndDefault) {
    ColumnDefinition price = field("price", "DECIMAL", "10,2");
    price.isUnsigned = price.zerofill = price.null = true;
    price.defaultValue = "0";
    price.binary = true;  // not an attribute of numbers
    EXPECT_EQ("price DECIMAL(10,2)  UNSIGNED  ZEROFILL  NULL  DEFAULT 0", definition(price));

    ColumnDefinition count = field("n", "BIGINT");
    count.autoIncrement = true;
    EXPECT_EQ("n BIGINT NOT NULL  AUTO_INCREMENT ", definition(count)) << "no length, no parentheses";

    ColumnDefinition name = field("name", "VARCHAR", "20");
    name.binary = true;
    name.null = name.autoIncrement = name.isUnsigned = true;
    name.defaultValue = "'x'";
    EXPECT_EQ(
        std::string("name") + " " + "VARCHAR" + "(" + "20" + ") " + " BINARY " + " NULL " + " DEFAULT 'x'",
        definition(name))
        << "no sign and no auto increment for characters";
    EXPECT_EQ("c CHAR NOT NULL ", definition(field("c", "CHAR")));

    ColumnDefinition day = field("day", "DATE", "8");
    day.null = true;
    day.defaultValue = "'2000-01-01'";
    day.autoIncrement = day.binary = true;
    EXPECT_EQ("day DATE NULL  DEFAULT '2000-01-01'", definition(day));
    EXPECT_EQ("b BLOB NOT NULL ", definition(field("b", "BLOB")));

    ColumnDefinition odd = field("t", "TEXT", "5");
    odd.null = true;
    EXPECT_EQ("t TEXT NULL ", definition(odd)) << "a type outside the list carries no length";

    ColumnDefinition quoted = field("s", "INT");
    quoted.defaultValue = "'it''s'";
    EXPECT_EQ("s INT NOT NULL  DEFAULT 'it''s'", definition(quoted)) << "a default typed in quotes stays";

    EXPECT_EQ("`my field` INT NOT NULL ", definition(field("my field", "INT")))
        << "names are quoted where they need it";
}

TEST(ColumnDefinitionText, DefaultsAreValues) {
    const auto text = [](const char* typed, const char* type) {
        return defaultLiteral(typed, typeClass(type), type, quote);
    };
    EXPECT_EQ("'x'", text("x", "VARCHAR"));
    EXPECT_EQ("'it''s'", text("it's", "CHAR"));
    EXPECT_EQ("'5'", text("5", "CHAR")) << "a number for a character type is its text";
    EXPECT_EQ("5", text("5", "INT"));
    EXPECT_EQ("-1.5e3", text("-1.5e3", "DOUBLE"));
    EXPECT_EQ(".5", text(".5", "DECIMAL"));
    EXPECT_EQ("'1.2.3'", text("1.2.3", "INT"));
    EXPECT_EQ("'1e'", text("1e", "INT"));
    EXPECT_EQ("'-'", text("-", "INT"));
    EXPECT_EQ("NULL", text("null", "DATE"));
    EXPECT_EQ("CURRENT_TIMESTAMP", text("CURRENT_TIMESTAMP", "TIMESTAMP"));
    EXPECT_EQ("now()", text("now()", "DATETIME"));
    EXPECT_EQ("'CURRENT_TIMESTAMP'", text("CURRENT_TIMESTAMP", "VARCHAR"));
    EXPECT_EQ("'2000-01-01'", text("'2000-01-01'", "DATE"));
    EXPECT_EQ("''''", text("'", "CHAR")) << "a lone quote is a value";
}

TEST(CreateTableStatement, TheDocumentedExamplePieceByPieceWithTheDialectsKeyword) {
    ColumnDefinition id = field("id", "INT", "11");
    id.autoIncrement = true;
    id.primaryKey = true;
    for (const ServerDialect* dialect : {&kMariaDb, &kOld}) {
        const std::string expected = std::string("CREATE TABLE ") + "test" + "." + "table1" + " (\r\n" +
                                     "id" + " " + "INT" + "(" + "11" + ") " + " NOT NULL " +
                                     " AUTO_INCREMENT " + ",\r\nPRIMARY KEY ( " + "id" + " )\r\n" + "\r\n)" +
                                     dialect->tableTypeKeyword() + "=" + "MyISAM" + ";";
        EXPECT_EQ(expected, createTableStatement("test", "table1", {id}, "MyISAM", *dialect, quote));
    }
    EXPECT_EQ(
        "CREATE TABLE test.table1 (\r\nid INT(11)  NOT NULL  AUTO_INCREMENT ,\r\nPRIMARY KEY ( id "
        ")\r\n\r\n);",
        createTableStatement("test", "table1", {id}, "", kMariaDb, quote))
        << "no table type, no clause";
}

TEST(CreateTableStatement, RowsKeysAndTheEmptyList) {
    EXPECT_EQ("CREATE TABLE db.t (\r\n\r\n);", createTableStatement("db", "t", {}, "", kMariaDb, quote));

    ColumnDefinition a = field("a", "INT");
    a.primaryKey = a.index = true;
    ColumnDefinition b = field("b", "CHAR", "4");
    b.primaryKey = true;
    ColumnDefinition c = field("c", "DATE");
    c.index = true;
    EXPECT_EQ(
        "CREATE TABLE db.t (\r\n"
        "a INT NOT NULL ,\r\n"
        "b CHAR(4)  NOT NULL ,\r\n"
        "c DATE NOT NULL "
        ",\r\nPRIMARY KEY ( a,b )\r\n"
        ",\r\nINDEX ( a,c )\r\n"
        "\r\n)ENGINE=HEAP;",
        createTableStatement("db", "t", {a, b, c}, "HEAP", kMariaDb, quote));

    // Names are quoted where they need it, in the rows and in the keys.
    ColumnDefinition odd = field("my `field`", "DATE");
    odd.primaryKey = odd.index = true;
    EXPECT_EQ(
        "CREATE TABLE `my db`.`my table` (\r\n`my ``field``` DATE NOT NULL ,\r\nPRIMARY KEY ( `my ``field``` "
        ")\r\n,\r\nINDEX ( `my ``field``` )\r\n\r\n);",
        createTableStatement("my db", "my table", {odd}, "", kMariaDb, quote));

    // The rows end at the first one without a name; the separator before it is already written.
    EXPECT_EQ("CREATE TABLE db.t (\r\na DATE NOT NULL ,\r\n\r\n);",
              createTableStatement("db", "t", {field("a", "DATE"), field("", "INT"), field("z", "DATE")}, "",
                                   kMariaDb, quote));
}

TEST(TypedNames, SurroundingBackticksGoAndDoubledOnesBecomeSingle) {
    EXPECT_EQ("my table", normalizeTypedName("`my table`"));
    EXPECT_EQ("a`b", normalizeTypedName("`a``b`"));
    EXPECT_EQ("``", normalizeTypedName("``````")) << "two doubled backticks";
    EXPECT_EQ("plain", normalizeTypedName("plain"));
    EXPECT_EQ("`", normalizeTypedName("`"));
    EXPECT_EQ("", normalizeTypedName("``"));
    EXPECT_EQ("a`b", normalizeTypedName("`a`b`")) << "a single inner backtick stays";
    EXPECT_EQ("x`", normalizeTypedName("x`"));
    EXPECT_EQ(" `a` ", normalizeTypedName(" `a` ")) << "blanks are part of what was typed";
}

TEST(TableEditorStatements, ListingsDropsAndKeys) {
    EXPECT_EQ("SHOW fields FROM db.`my table`", showFieldsStatement(kMariaDb, "db", "my table"));
    EXPECT_EQ("SHOW keys FROM `my db`.t", showKeysStatement(kMariaDb, "my db", "t"));

    EXPECT_EQ("ALTER TABLE db.t DROP b", dropFieldStatement(kMariaDb, "db", "t", "b"));
    EXPECT_EQ("ALTER TABLE db.t DROP PRIMARY KEY", dropKeyStatement(kMariaDb, "db", "t", "PRIMARY"));
    EXPECT_EQ("ALTER TABLE db.t DROP INDEX idx", dropKeyStatement(kMariaDb, "db", "t", "idx"));
    EXPECT_EQ("ALTER TABLE db.t DROP INDEX primary_2", dropKeyStatement(kMariaDb, "db", "t", "primary_2"));
    EXPECT_EQ("ALTER TABLE db.t DROP INDEX `primary`", dropKeyStatement(kMariaDb, "db", "t", "primary"))
        << "only the exact name PRIMARY is the primary key";

    EXPECT_EQ("ALTER TABLE db.t ADD PRIMARY KEY ( a,b )",
              addKeyStatement(kMariaDb, "db", "t", KeyKind::Primary, "", {"a", "b"}));
    EXPECT_EQ(std::string("ALTER TABLE ") + "db" + "." + "t" + " ADD INDEX " + "idx" + " ( " + "a,b" + " )",
              addKeyStatement(kMariaDb, "db", "t", KeyKind::Index, "idx", {"a", "b"}));
    EXPECT_EQ("ALTER TABLE db.t ADD INDEX ( a )",
              addKeyStatement(kMariaDb, "db", "t", KeyKind::Index, "", {"a"}));
    EXPECT_EQ("ALTER TABLE db.t ADD UNIQUE u ( b,`key` )",
              addKeyStatement(kMariaDb, "db", "t", KeyKind::Unique, "u", {"b", "key"}));
    EXPECT_EQ("ALTER TABLE db.t ADD UNIQUE ( b )",
              addKeyStatement(kMariaDb, "db", "t", KeyKind::Unique, "", {"b"}));
    EXPECT_EQ("ALTER TABLE db.t ADD INDEX `my idx` ( a )",
              addKeyStatement(kMariaDb, "db", "t", KeyKind::Index, "my idx", {"a"}));
}

TEST(FieldAdditionStatements, TheFieldThenItsKeysWithTwoBlanksAfterAdd) {
    ColumnDefinition n = field("n", "INT", "5");
    n.isUnsigned = true;
    EXPECT_EQ(std::string("ALTER TABLE db.t ADD ") + "n" + " " + "INT" + " " + "(" + "5" + ") " +
                  " UNSIGNED " + " NOT NULL ",
              addFieldStatement(kMariaDb, "db", "t", n, quote));
    ColumnDefinition when = field("when", "DATETIME");
    when.null = true;
    when.defaultValue = "NOW()";
    EXPECT_EQ("ALTER TABLE db.t ADD `when` DATETIME  NULL  DEFAULT NOW()",
              addFieldStatement(kMariaDb, "db", "t", when, quote))
        << "other types take their nullability and default too";
    ColumnDefinition name = field("name", "VARCHAR", "30");
    name.defaultValue = "x";
    EXPECT_EQ("ALTER TABLE db.t ADD name VARCHAR (30)  NOT NULL  DEFAULT 'x'",
              addFieldStatement(kMariaDb, "db", "t", name, quote));
    EXPECT_EQ("ALTER TABLE db.`table` ADD  INT  NOT NULL ",
              addFieldStatement(kMariaDb, "db", "table", field("", "INT"), quote));

    EXPECT_EQ("ALTER TABLE db.t ADD  PRIMARY KEY ( n )",
              addFieldKeyStatement(kMariaDb, "db", "t", KeyKind::Primary, "ignored", "n"));
    EXPECT_EQ("ALTER TABLE db.t ADD  INDEX ( n )",
              addFieldKeyStatement(kMariaDb, "db", "t", KeyKind::Index, "", "n"));
    EXPECT_EQ("ALTER TABLE db.t ADD  INDEX ix ( n )",
              addFieldKeyStatement(kMariaDb, "db", "t", KeyKind::Index, "ix", "n"));
    EXPECT_EQ("ALTER TABLE db.t ADD  UNIQUE ( n )",
              addFieldKeyStatement(kMariaDb, "db", "t", KeyKind::Unique, "", "n"));
    EXPECT_EQ("ALTER TABLE db.t ADD  UNIQUE un ( n )",
              addFieldKeyStatement(kMariaDb, "db", "t", KeyKind::Unique, "un", "n"));
    EXPECT_EQ("ALTER TABLE db.t ADD  UNIQUE `u n` ( `my field` )",
              addFieldKeyStatement(kMariaDb, "db", "t", KeyKind::Unique, "u n", "my field"));
}

TEST(DatabaseAndRenameStatements, NamesQuotedWhereTheyNeedIt) {
    EXPECT_EQ("CREATE DATABASE `velkin new`", createDatabaseStatement(kMariaDb, "velkin new"));
    EXPECT_EQ("CREATE DATABASE velkin_new", createDatabaseStatement(kMariaDb, "velkin_new"));
    EXPECT_EQ("ALTER TABLE db.t RENAME db.t2", renameTableStatement(kMariaDb, "db", "t", "t2"));
    EXPECT_EQ("ALTER TABLE `my-db`.`rank` RENAME `my-db`.`new one`",
              renameTableStatement(kMariaDb, "my-db", "rank", "new one"));
}
