#include <gtest/gtest.h>

#include "transfer/ReadStatement.h"

using namespace velkin;

TEST(ReadStatement, ReadingStatementsPass) {
    for (const char* sql :
         {"select * from t", "  SELECT a, b FROM d.t WHERE a = 'DELETE'", "(select 1) union (select 2)",
          "WITH x AS (SELECT 1) SELECT * FROM x", "show tables", "SHOW FULL PROCESSLIST", "describe t",
          "DESC t", "EXPLAIN SELECT * FROM t", "values (1), (2)", "TABLE t", "select * from t;",
          "select * from t for update", "-- a note\nselect 1", "# note\nselect 1", "/* note */ select 1",
          "select `update`, `delete` from t", "select 'it''s', \"a \\\" b\" from t", "select * from `into`"})
        EXPECT_TRUE(isRowReadingStatement(sql)) << sql;
}

TEST(ReadStatement, WritingOrUnclearStatementsAreRefused) {
    for (const char* sql : {"",
                            "   ",
                            "DELETE FROM t",
                            "delete from t limit 6",
                            "UPDATE t SET a = 1",
                            "insert into t values (1)",
                            "REPLACE INTO t VALUES (1)",
                            "DROP TABLE t",
                            "TRUNCATE t",
                            "CREATE TABLE x (a INT)",
                            "CALL p()",
                            "select * from t; delete from t",
                            "select a into @v from t",
                            "select * into outfile '/tmp/f' from t",
                            "SELECT * FROM t INTO DUMPFILE '/tmp/f'",
                            "/*!50000 DELETE FROM t */",
                            "select 1 /*! , (1) */",
                            "/*M!100000 DROP TABLE t */ SELECT 1",
                            "select 'unclosed",
                            "/* unclosed select 1",
                            "EXPLAIN ANALYZE SELECT 1",
                            "ANALYZE DELETE FROM t",
                            "(DELETE FROM t)",
                            "SET @a = 1",
                            "WITH x AS (SELECT 1) DELETE FROM t",
                            "LOAD DATA INFILE 'f' INTO TABLE t",
                            "HANDLER t OPEN",
                            "DO sleep(1)",
                            "LOCK TABLES t WRITE",
                            "-- only a comment"})
        EXPECT_FALSE(isRowReadingStatement(sql)) << sql;
}
