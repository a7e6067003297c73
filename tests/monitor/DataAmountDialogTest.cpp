#include <gtest/gtest.h>

#include <fmt/printf.h>
#include <QPushButton>
#include <map>

#include "MonitorTesting.h"
#include "monitor/DataAmountDialog.h"
#include "monitor/TableAmount.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

namespace {

const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);

const QStringList kBoxes = {"Database",
                            "Table",
                            "Table creation time",
                            "Updated time",
                            "Checked time",
                            "The Type of table",
                            "Preservation form of a record",
                            "Extended option",
                            "Records count",
                            "Avg Record Length",
                            "The maximum capacity",
                            "Present",
                            "Use domain",
                            "Intact domain",
                            "Data",
                            "Index"};

/// The table's figures as the information schema gives them, by column name.
std::map<std::string, std::string> schemaFigures(Connection& connection, const std::string& db,
                                                 const std::string& table) {
    Result result = connection.select(
        "SELECT ENGINE, ROW_FORMAT, TABLE_ROWS, AVG_ROW_LENGTH, DATA_LENGTH, MAX_DATA_LENGTH, INDEX_LENGTH, "
        "DATA_FREE, CREATE_TIME, UPDATE_TIME, CHECK_TIME, CREATE_OPTIONS FROM information_schema.TABLES "
        "WHERE TABLE_SCHEMA = '" +
        db + "' AND TABLE_NAME = '" + table + "'");
    std::map<std::string, std::string> figures;
    Row row = result.fetchRow();
    EXPECT_TRUE(row) << connection.errorLine();
    if (!row)
        return figures;
    const auto names = result.fieldNames();
    for (unsigned i = 0; i < row.size(); ++i)
        figures[names[i]] = row.str(i);
    return figures;
}

QString bytes(const std::string& figure) {
    return QString::fromStdString(figure) + " Byte";
}

std::uint64_t number(const std::string& figure) {
    return std::stoull(figure);
}

/// Colour of the rendered gauges at a point of the gauge whose left edge is at x.
QColor gaugeColour(const QImage& image, int x, int dx, int y) {
    return colourAt(image, x + dx, y);
}

struct AmountDatabase {
    AmountDatabase() : scratch("monitor_amount") {
        Connection& c = scratch.admin();
        exec(c, "CREATE TABLE monitor_amount.inno (id INT) ENGINE=InnoDB");
        exec(c, "INSERT INTO monitor_amount.inno VALUES (1), (2)");
        exec(c, "CREATE TABLE monitor_amount.mem (id INT) ENGINE=MEMORY");
        exec(c, "CREATE TABLE monitor_amount.big (id INT) ENGINE=MyISAM");
        exec(c, "INSERT INTO monitor_amount.big VALUES (1)");
        exec(c, "CREATE TABLE monitor_amount.a_b (id INT) ENGINE=MyISAM");
        exec(c, "CREATE TABLE monitor_amount.aab (id INT) ENGINE=InnoDB");
        exec(c, "ANALYZE TABLE monitor_amount.inno");
    }
    ScratchDatabase scratch;
};

}  // namespace

TEST(TableAmount, PercentagesAndTextsHoldForEmptyUnknownAndLargeTables) {
    TableAmount a;
    EXPECT_EQ(capacityPercent(a), 0.0);
    EXPECT_EQ(allocationPercent(a), 0.0) << "nothing allocated";
    EXPECT_EQ(dataSharePercent(a), 0.0);
    a.data = 300;
    a.index = 100;
    a.free = 400;
    a.max = 1600;
    EXPECT_DOUBLE_EQ(capacityPercent(a), 25.0);
    EXPECT_DOUBLE_EQ(allocationPercent(a), 50.0);
    EXPECT_DOUBLE_EQ(dataSharePercent(a), 75.0);
    a.index = 0;
    EXPECT_DOUBLE_EQ(dataSharePercent(a), 100.0);
    a.max = 0;
    EXPECT_EQ(capacityPercent(a), 0.0);

    EXPECT_EQ(recordCountText(5), "5 件");
    EXPECT_EQ(byteText(5000000000ULL), "5000000000 Byte");
    EXPECT_EQ(maxCapacityText(0), "不明");
    EXPECT_EQ(maxCapacityText(281474976710655ULL), "281474976710655 Byte");
}

TEST(DataAmountDialog, ShowsAnInnoDbTablesFiguresWithUnknownMaximumAndAllDataShare) {
    AmountDatabase db;
    auto connection = connectAdmin();
    const auto figures = schemaFigures(*connection, "monitor_amount", "inno");
    ScriptedOperator op;
    StatementLog log;
    DataAmountDialog dialog(*connection, op, "monitor_amount", "inno");

    EXPECT_EQ(log.statements, std::vector<std::string>{"SHOW TABLE STATUS FROM monitor_amount Like 'inno'"});
    EXPECT_TRUE(op.messages.empty());
    EXPECT_TRUE(dialog.windowFlags() & Qt::CustomizeWindowHint);
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowTitleHint) << "no title bar";
    auto* ok = widget<QPushButton>(dialog, "OK");
    ASSERT_TRUE(ok);
    EXPECT_TRUE(ok->isHidden());
    EXPECT_FALSE(ok->isEnabled());

    EXPECT_EQ(boxText(dialog, "Database"), "monitor_amount");
    EXPECT_EQ(boxText(dialog, "Table"), "inno");
    EXPECT_EQ(boxText(dialog, "The Type of table"), "InnoDB");
    EXPECT_EQ(boxText(dialog, "Preservation form of a record").toStdString(), figures.at("ROW_FORMAT"));
    EXPECT_EQ(boxText(dialog, "Table creation time").toStdString(), figures.at("CREATE_TIME"));
    EXPECT_EQ(boxText(dialog, "Checked time"), "") << "never checked (NULL)";
    EXPECT_EQ(boxText(dialog, "Records count"), QString::fromStdString(figures.at("TABLE_ROWS")) + " 件");
    EXPECT_EQ(boxText(dialog, "Avg Record Length"), bytes(figures.at("AVG_ROW_LENGTH")));
    EXPECT_EQ(figures.at("MAX_DATA_LENGTH"), "0");
    EXPECT_EQ(boxText(dialog, "The maximum capacity"), "不明");
    EXPECT_EQ(figures.at("INDEX_LENGTH"), "0");
    EXPECT_EQ(boxText(dialog, "Data"), bytes(figures.at("DATA_LENGTH")));
    EXPECT_EQ(boxText(dialog, "Index"), "0 Byte");
    const std::uint64_t data = number(figures.at("DATA_LENGTH"));
    const std::uint64_t free = number(figures.at("DATA_FREE"));
    EXPECT_EQ(boxText(dialog, "Present"), bytes(std::to_string(data + free)));
    EXPECT_EQ(boxText(dialog, "Use domain"), bytes(std::to_string(data)));
    EXPECT_EQ(boxText(dialog, "Intact domain"), bytes(figures.at("DATA_FREE")));

    ASSERT_EQ(dialog.gaugeLabels().size(), 3);
    EXPECT_EQ(dialog.gaugeLabels()[0], "0.00 %");
    EXPECT_EQ(dialog.gaugeLabels()[1],
              QString::fromStdString(fmt::sprintf("%-5.2f%%", 100.0 * data / (data + free))));
    EXPECT_EQ(dialog.gaugeLabels()[2], "100.00%");

    // The canvas shows the gauges: capacity all blue, data share all red with a red top face.
    const QImage image = rendered(*dialog.gaugeCanvas());
    const int cap = DataAmountDialog::kCapacityGaugeX;
    const int share = DataAmountDialog::kDataShareGaugeX;
    EXPECT_EQ(gaugeColour(image, cap, 25, 100), kBlue);
    EXPECT_EQ(gaugeColour(image, cap, 12, 200), kBlue);
    EXPECT_EQ(gaugeColour(image, cap, 12, 303), kBlue);
    EXPECT_EQ(gaugeColour(image, cap, 38, 303), kBlue);
    EXPECT_EQ(gaugeColour(image, share, 25, 100), kRed);
    EXPECT_EQ(gaugeColour(image, share, 12, 200), kRed);
    EXPECT_EQ(gaugeColour(image, share, 38, 303), kRed);
    // Outside the shown region nothing of the back buffer is painted.
    EXPECT_NE(colourAt(image, 40, 200), QColor(0, 0, 0));
}

TEST(DataAmountDialog, SizesOfFourGigabytesAndMoreAreShownWhole) {
    AmountDatabase db;
    auto connection = connectAdmin();
    const auto figures = schemaFigures(*connection, "monitor_amount", "big");
    ASSERT_GT(number(figures.at("MAX_DATA_LENGTH")), 0xFFFFFFFFULL);
    ScriptedOperator op;
    DataAmountDialog dialog(*connection, op, "monitor_amount", "big");
    EXPECT_EQ(boxText(dialog, "The maximum capacity"), bytes(figures.at("MAX_DATA_LENGTH")));
    EXPECT_EQ(boxText(dialog, "Records count"), "1 件");
    EXPECT_EQ(boxText(dialog, "The Type of table"), "MyISAM");
    EXPECT_EQ(dialog.gaugeLabels().value(0), "0.00 %");
}

TEST(DataAmountDialog, ATableWithNothingAllocatedShowsZeroPercent) {
    AmountDatabase db;
    auto connection = connectAdmin();
    ScriptedOperator op;
    DataAmountDialog dialog(*connection, op, "monitor_amount", "mem");
    EXPECT_EQ(boxText(dialog, "Present"), "0 Byte");
    EXPECT_EQ(dialog.gaugeLabels(), QStringList({"0.00 %", "0.00 %", "0.00 %"}));
    const QImage image = rendered(*dialog.gaugeCanvas());
    const int x = DataAmountDialog::kAllocationGaugeX;
    EXPECT_EQ(gaugeColour(image, x, 25, 100), kBlue);
    EXPECT_EQ(gaugeColour(image, x, 12, 303), kBlue);
}

TEST(DataAmountDialog, TheLikePatternMatchesOnlyTheNamedTable) {
    AmountDatabase db;
    auto connection = connectAdmin();
    ScriptedOperator op;
    StatementLog log;
    DataAmountDialog dialog(*connection, op, "monitor_amount", "a_b");
    EXPECT_EQ(log.statements, std::vector<std::string>{"SHOW TABLE STATUS FROM monitor_amount Like 'a\\_b'"});
    EXPECT_EQ(boxText(dialog, "The Type of table"), "MyISAM") << "not aab, which is InnoDB";
}

TEST(DataAmountDialog, AMissingTableShowsZerosAfterItsMessageAndAFailedQueryShowsNothing) {
    AmountDatabase db;
    auto connection = connectAdmin();
    {
        ScriptedOperator op;
        DataAmountDialog dialog(*connection, op, "monitor_amount", "nothere");
        EXPECT_EQ(op.messageTexts(), QStringList{"This server cannot use this function."});
        EXPECT_EQ(op.messages.at(0).caption, "VelkinSorvane");
        EXPECT_EQ(boxText(dialog, "Database"), "monitor_amount");
        EXPECT_EQ(boxText(dialog, "Table"), "nothere");
        EXPECT_EQ(boxText(dialog, "The Type of table"), "");
        EXPECT_EQ(boxText(dialog, "Records count"), "0 件");
        EXPECT_EQ(boxText(dialog, "The maximum capacity"), "不明");
        EXPECT_EQ(boxText(dialog, "Present"), "0 Byte");
        EXPECT_EQ(dialog.gaugeLabels(), QStringList({"0.00 %", "0.00 %", "0.00 %"}));
        EXPECT_FALSE(dialog.gaugeImage().isNull());
    }
    {
        ScriptedOperator op;
        DataAmountDialog dialog(*connection, op, "monitor_nowhere", "inno");
        EXPECT_EQ(op.messageTexts(), QStringList{"It failed in issue of Query."});
        for (const QString& box : kBoxes)
            EXPECT_EQ(boxText(dialog, box), "") << box;
        EXPECT_TRUE(dialog.gaugeImage().isNull());
        EXPECT_TRUE(dialog.gaugeLabels().isEmpty());
    }
}
