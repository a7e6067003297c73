#include <gtest/gtest.h>

#include <QPushButton>
#include <QTimer>

#include "SchemaTesting.h"
#include "schema/TableEditorDialog.h"
#include "session/SqlText.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

// A change of a table that waits on the server is stopped from the screen, while the window goes on.

TEST(TableEditorStop, AChangeWaitingForATableLockIsStoppedAndTheTableStaysAsItWas) {
    ScratchDatabase scratch{"velkin_schema_stop"};
    exec(scratch.admin(), "CREATE TABLE velkin_schema_stop.t (id INT NOT NULL PRIMARY KEY, a INT NOT NULL)");
    std::unique_ptr<Connection> session = connectAdmin();
    ScriptedOperator op;
    TableEditorDialog d(*session, op, "velkin_schema_stop", "t");
    d.fieldList()->setCurrentCell(1, 0);
    ASSERT_EQ("a", d.currentField());
    edit(d, "The field name chosen")->setText("b");

    // A second client holds the table, so the ALTER waits for its metadata lock.
    std::unique_ptr<Connection> holder = connectAdmin();
    exec(*holder, "LOCK TABLES velkin_schema_stop.t WRITE");
    std::unique_ptr<Connection> watcher = connectAdmin();
    const std::string runningAlter =
        "SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE INFO LIKE 'ALTER TABLE "
        "velkin_schema_stop.t%'";
    int ticks = 0;
    int ticksWhileWaiting = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(10);
    bool stopped = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (stopped || scalar(*watcher, runningAlter + " AND STATE LIKE '%metadata lock%'") == "0")
            return;
        // Stop is pressed only once the window has gone on for a while beside the waiting statement.
        if (ticksWhileWaiting == 0)
            ticksWhileWaiting = ticks;
        else if (ticks > ticksWhileWaiting + 5) {
            stopped = true;
            click(d, "Stop");
        }
    });
    watch.start(50);
    // Should Stop not work, the lock goes and the test fails instead of waiting for ever.
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [&] { exec(*holder, "UNLOCK TABLES"); });
    giveUp.start(30000);
    d.updateField();

    EXPECT_TRUE(stopped);
    EXPECT_EQ(QStringList{"The change was stopped. The table is unchanged."}, op.messageTexts());
    EXPECT_EQ("0", scalar(*watcher, runningAlter));
    EXPECT_EQ("Close", child<QPushButton>(d, "Close")->text()) << "the button is Close again";
    exec(*holder, "UNLOCK TABLES");
    EXPECT_EQ((std::vector<std::string>{"id", "a"}),
              column(*watcher,
                     "SELECT COLUMN_NAME FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = "
                     "'velkin_schema_stop' AND TABLE_NAME = 't' ORDER BY ORDINAL_POSITION"));
    EXPECT_EQ("a", d.currentField());
}
