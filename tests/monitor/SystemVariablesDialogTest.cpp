#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTableWidget>
#include <algorithm>
#include <map>

#include "MonitorTesting.h"
#include "monitor/MonitorText.h"
#include "monitor/SystemVariablesDialog.h"
#include "monitor/VariableExplanations.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

namespace {

const QString kUnknown = "Unknown (under the present investigation)";

QTableWidget* listOf(QWidget& dialog) {
    return widget<QTableWidget>(dialog, "System variable list");
}

int rowOf(QTableWidget* list, const QString& name) {
    for (int row = 0; row < list->rowCount(); ++row)
        if (list->item(row, 0)->text() == name)
            return row;
    return -1;
}

}  // namespace

TEST(SystemVariables, ExplanationLookupKnowsNoNameYet) {
    EXPECT_EQ(variableExplanation("version"), kUnknown);
    EXPECT_EQ(variableExplanation("no_such_variable"), kUnknown);
    EXPECT_EQ(variableExplanation(""), kUnknown);
}

TEST(SystemVariables, ListsEveryVariableSortedByNameWithWholeValues) {
    auto connection = connectAdmin();
    std::map<std::string, std::string> server;
    {
        Result result = connection->select("SHOW VARIABLES");
        while (Row row = result.fetchRow())
            server[row.str(0)] = row.str(1);
    }
    StatementLog log;
    SystemVariablesDialog dialog(*connection);
    EXPECT_EQ(dialog.windowTitle(), "System variable list");
    // The variables, then the server's own help on them; nothing that could change a thing.
    EXPECT_EQ(log.statements, (std::vector<std::string>{"SHOW VARIABLES", variableHelpStatement()}));

    QTableWidget* list = listOf(dialog);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->horizontalHeaderItem(0)->text(), "Variable");
    EXPECT_EQ(list->horizontalHeaderItem(1)->text(), "Value");
    // The name column is as wide as the longest name, and the operator can still drag it.
    int longest = 0;
    for (int row = 0; row < list->rowCount(); ++row)
        longest = std::max(longest, list->fontMetrics().horizontalAdvance(list->item(row, 0)->text()));
    EXPECT_GE(list->columnWidth(0), longest);
    EXPECT_GE(list->columnWidth(0), 150);
    EXPECT_EQ(QHeaderView::Interactive, list->horizontalHeader()->sectionResizeMode(0));
    const int analyze = rowOf(list, "analyze_sample_percentage");
    if (analyze >= 0) {
        EXPECT_EQ("analyze_sample_percentage", list->item(analyze, 0)->toolTip());
    }
    EXPECT_EQ(list->columnWidth(1), 500);
    EXPECT_FALSE(list->horizontalHeader()->sectionsClickable());
    EXPECT_TRUE(list->showGrid());
    ASSERT_EQ(list->rowCount(), static_cast<int>(server.size()));

    QStringList names;
    for (int row = 0; row < list->rowCount(); ++row) {
        names << list->item(row, 0)->text();
        // The clock is the one variable that moves between the two readings.
        if (names.back() != "timestamp") {
            EXPECT_EQ(list->item(row, 1)->text().toStdString(), server.at(names.back().toStdString()));
        }
    }
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    // Long values are held whole, not cut at some length.
    const int longRow = rowOf(list, "optimizer_switch");
    ASSERT_GE(longRow, 0);
    EXPECT_GT(list->item(longRow, 1)->text().size(), 250);
}

TEST(SystemVariables, SelectingARowExplainsItsVariable) {
    auto connection = connectAdmin();
    SystemVariablesDialog dialog(*connection);
    QTableWidget* list = listOf(dialog);
    ASSERT_TRUE(list);
    EXPECT_EQ(boxText(dialog, "Explanation :"), "");
    const int row = rowOf(list, "version");
    ASSERT_GE(row, 0);
    list->setCurrentCell(row, 1);
    EXPECT_EQ(boxText(dialog, "Explanation :"), kUnknown);
    list->setCurrentCell(0, 0);
    EXPECT_EQ(boxText(dialog, "Explanation :"), kUnknown);
}

TEST(SystemVariables, AServerThatRefusesGivesAnEmptyListWithItsHeaders) {
    auto connection = connectAdmin();
    auto admin = connectAdmin();
    const unsigned long id = connection->threadId();
    admin->kill(id);
    EXPECT_TRUE(eventually([&] {
        const auto ids = column(*admin, "SHOW PROCESSLIST");
        return std::find(ids.begin(), ids.end(), std::to_string(id)) == ids.end();
    }));
    SystemVariablesDialog dialog(*connection);
    QTableWidget* list = listOf(dialog);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->rowCount(), 0);
    EXPECT_EQ(list->columnCount(), 2);
    EXPECT_EQ(list->horizontalHeaderItem(0)->text(), "Variable");
    EXPECT_EQ(list->horizontalHeaderItem(1)->text(), "Value");
}

TEST(SystemVariables, TheServersOwnHelpExplainsAVariableWhereItHasSome) {
    auto admin = connectAdmin();
    exec(*admin, "DELETE FROM mysql.help_topic WHERE help_topic_id = 60001");
    exec(*admin, "DELETE FROM mysql.help_category WHERE help_category_id = 6001");
    exec(*admin,
         "INSERT INTO mysql.help_category (help_category_id, name, parent_category_id, url) "
         "VALUES (6001, 'Velkin Test Variables', 0, '')");
    exec(*admin,
         "INSERT INTO mysql.help_topic (help_topic_id, name, help_category_id, description, example, url) "
         "VALUES (60001, 'wait_timeout', 6001, 'Description\n-----------\n\nSeconds the server waits\n"
         "on an idle  connection.', '', '')");
    {
        SystemVariablesDialog dialog(*admin);
        QTableWidget* list = listOf(dialog);
        list->setCurrentCell(rowOf(list, "wait_timeout"), 0);
        EXPECT_EQ(boxText(dialog, "Explanation :"), "Seconds the server waits on an idle connection.");
        // A variable the help does not name keeps the fixed text.
        list->setCurrentCell(rowOf(list, "version"), 0);
        EXPECT_EQ(boxText(dialog, "Explanation :"), kUnknown);
    }
    exec(*admin, "DELETE FROM mysql.help_topic WHERE help_topic_id = 60001");
    exec(*admin, "DELETE FROM mysql.help_category WHERE help_category_id = 6001");
}
