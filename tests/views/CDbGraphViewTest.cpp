#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <algorithm>
#include <fstream>
#include <functional>

#include "ViewTesting.h"
#include "privileges/GrantChanges.h"
#include "privileges/GrantSteps.h"
#include "session/SqlText.h"
#include "views/ChartSurvey.h"
#include "views/ChartText.h"

using namespace velkin;
using namespace velkin::test;

namespace {

/// A table file whose name is longer than the server takes: the table is listed, its status cannot
/// be read, and neither can the status of its database.
const std::string kDamagedTable = "velkin_chart_damaged_" + std::string(60, 'x');

void damage(Connection& admin, const std::string& database) {
    std::string dir = scalar(admin, "select @@datadir");
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    std::ofstream(dir + database + "/" + kDamagedTable + ".frm") << "";
}

/// A MyISAM table of fixed rows with an index, whose sizes the server counts exactly. The values
/// differ from their first character on, so the index is not packed away, and the table is flushed
/// so that its index is on disk when its size is read.
void fixedTable(Connection& admin, const std::string& database, const std::string& table, int width,
                int rows) {
    exec(admin,
         sqlf("CREATE TABLE %s.%s (c CHAR(%d) NOT NULL, KEY (c)) ENGINE=MyISAM", database, table, width));
    std::string values;
    for (int i = 0; i < rows; ++i)
        values += sqlf("%s('%05d%s')", i == 0 ? "" : ",", rows - i, std::string(width - 5, 'v'));
    exec(admin, sqlf("INSERT INTO %s.%s VALUES %s", database, table, values));
    exec(admin, sqlf("FLUSH TABLES %s.%s", database, table));
}

/// Grant rows of our own in the classic grant tables, removed before and after.
class GrantRowsOfOurOwn {
public:
    GrantRowsOfOurOwn() : m_admin(connectAdmin()) { clean(); }
    ~GrantRowsOfOurOwn() { clean(); }
    Connection& admin() { return *m_admin; }

private:
    void clean() {
        exec(*m_admin, "DELETE FROM mysql.host WHERE Db LIKE 'velkin\\_chart\\_%'");
        exec(*m_admin, "DELETE FROM mysql.db WHERE Db LIKE 'velkin\\_chart\\_%'");
        exec(*m_admin,
             "DELETE FROM mysql.user WHERE Host LIKE 'velkin\\_chart\\_%' OR User LIKE 'velkin\\_chart\\_%'");
    }
    std::unique_ptr<Connection> m_admin;
};

int count(const QImage& image, const QRect& area, const std::function<bool(const QColor&)>& test) {
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += test(image.pixelColor(x, y)) ? 1 : 0;
    return n;
}
bool reddish(const QColor& c) {
    return c.red() > 170 && c.green() < 100 && c.blue() < 100;
}
bool bluish(const QColor& c) {
    return c.blue() > 170 && c.red() < 100 && c.green() < 100;
}
bool greenish(const QColor& c) {
    return c.green() > 120 && c.red() < 80 && c.blue() < 100;
}
bool coloured(const QColor& c) {
    return std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()}) > 60;
}
bool notWhite(const QColor& c) {
    return c != QColor(Qt::white);
}

/// Where a text stands in the picture: from its top left corner, one line of its height.
QRect areaOf(const ChartText& text, int width = 150) {
    return QRect(text.at, QSize(width, text.font.height + 3));
}

/// The black runs of a column of the picture, by their first row.
std::vector<int> blackRuns(const QImage& image, int x) {
    std::vector<int> runs;
    bool inRun = false;
    for (int y = 0; y < image.height(); ++y) {
        const bool black = image.pixel(x, y) == qRgb(0, 0, 0);
        if (black && !inRun)
            runs.push_back(y);
        inRun = black;
    }
    return runs;
}

int sentCount(const StatementLog& log, const std::string& sql) {
    return static_cast<int>(std::count(log.statements.begin(), log.statements.end(), sql));
}

/// Saved for a person to look at when VELKIN_SCREENSHOT_DIR names a folder.
void keepScreenshot(const QImage& image, const char* name) {
    const QByteArray dir = qgetenv("VELKIN_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        image.save(QString::fromLocal8Bit(dir) + QStringLiteral("/velkin-chart-") + QLatin1String(name) +
                   QStringLiteral(".png"));
}

class ChartViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(ConnectResult::Admin, doc.Connect());
        op.clear();
    }

    /// The chart of a kind as the tree shows it: the session's state, a new view with its initial
    /// update, then the update of all views.
    /// The host charts as they are where the server still reads mysql.host (MySQL before 5.6.7): this
    /// server's mysql.host stands in for that server's.
    void pinServerThatReadsHostTable() {
        ServerDialect old(50173, false);
        old.learnAccounts({"BASE TABLE", true, false, true});
        doc.connection()->setDialect(old);
    }
    CDbGraphView& show(int kind, const std::string& database = "") {
        doc.select(
            Selection{qs(database), QString(), QString(), NodeKind::Database, static_cast<ChartKind>(kind)});
        host.showChartView();
        host.updateAllViews();
        CDbGraphView& view = *host.chartView();
        view.resize(820, 600);
        return view;
    }

    /// The texts of the rows (name texts in the row font at x = 50), top to bottom.
    static std::vector<const ChartText*> rowNames(const ChartLayout& layout, int x = 50) {
        std::vector<const ChartText*> rows;
        for (const ChartText& t : layout.texts)
            if (t.at.x() == x && t.font == ChartFont{15, 800, false})
                rows.push_back(&t);
        std::sort(rows.begin(), rows.end(), [](auto* a, auto* b) { return a->at.y() < b->at.y(); });
        return rows;
    }

    ScriptedOperator op;
    CSorvaneDoc doc{op, loginAs(adminAccount())};
    TestViewHost host{doc, op};
};

}  // namespace

TEST_F(ChartViewTest, DatabaseUsageKeepsAnEmptyRowForAnUnreadableTableAndColoursLargeShares) {
    ScratchDatabase db("velkin_chart_usage");
    fixedTable(db.admin(), db.name(), "big", 250, 400);
    fixedTable(db.admin(), db.name(), "small", 10, 10);
    damage(db.admin(), db.name());
    const std::vector<std::string> tables = column(db.admin(), "SHOW TABLES FROM velkin_chart_usage");
    ASSERT_EQ(3u, tables.size());
    auto slot = [&](const std::string& name) {
        auto it = std::find_if(tables.begin(), tables.end(),
                               [&](const std::string& t) { return t.rfind(name, 0) == 0; });
        return static_cast<int>(it - tables.begin());
    };

    StatementLog log;
    CDbGraphView& view = show(1, db.name());
    const QImage& picture = view.picture();
    const ChartLayout& layout = view.layout();
    keepScreenshot(picture, "database");

    EXPECT_EQ(50 * 3 + 262, layout.height);
    EXPECT_EQ(QSize(800, 412), picture.size());
    EXPECT_EQ(QSize(800, 412), view.logicalSize());
    EXPECT_NE(nullptr, layout.find(QStringLiteral("Database  ： velkin_chart_usage")));
    EXPECT_NE(nullptr, layout.find(QStringLiteral("All  (410 affairs)")));
    EXPECT_NE(nullptr, layout.find(QStringLiteral("(MyISAM Fixed)")));

    const ChartText* big = layout.find(QStringLiteral("big (400件)"));
    const ChartText* small = layout.find(QStringLiteral("small (10件)"));
    ASSERT_NE(nullptr, big);
    ASSERT_NE(nullptr, small);
    EXPECT_EQ(115 + 50 * slot("big"), big->at.y());
    EXPECT_EQ(115 + 50 * slot("small"), small->at.y());
    EXPECT_EQ(2u, rowNames(layout).size());

    // The damaged table's row stays white, down to where the next row's picture begins.
    const int empty = 115 + 50 * slot("velkin_chart_damaged");
    EXPECT_EQ(0, count(picture, QRect(0, empty, 800, 38), notWhite));
    for (const ChartText* row : {big, small})
        EXPECT_EQ(qRgb(0, 0, 0), picture.pixel(300, row->at.y() + 45));

    // The big table holds more than 90 % and reads red; the small one is black.
    auto shareOf = [&](const ChartText* row) {
        for (const ChartText& t : layout.texts)
            if (t.at == QPoint(660, row->at.y()))
                return &t;
        return static_cast<const ChartText*>(nullptr);
    };
    ASSERT_NE(nullptr, shareOf(big));
    ASSERT_NE(nullptr, shareOf(small));
    EXPECT_TRUE(shareOf(big)->text.endsWith(QStringLiteral(" % of All")));
    EXPECT_GT(count(picture, areaOf(*shareOf(big)), reddish), 20);
    EXPECT_EQ(0, count(picture, areaOf(*shareOf(big)), bluish));
    EXPECT_EQ(0, count(picture, areaOf(*shareOf(small)), coloured));
    EXPECT_GT(count(picture, areaOf(*shareOf(small)), notWhite), 20);

    EXPECT_EQ(2, sentCount(log, "SHOW TABLES"));
    // The database's one statement fails on the damaged table; then each table is read by itself.
    EXPECT_EQ(1, sentCount(log, "SHOW TABLE STATUS FROM velkin_chart_usage"));
    EXPECT_EQ(1, sentCount(log, "SHOW TABLE STATUS FROM velkin_chart_usage Like 'big'"));
    EXPECT_EQ(1, sentCount(log, "SHOW TABLE STATUS FROM velkin_chart_usage Like 'small'"));
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(ChartViewTest, DatabaseUsageShareAboveFiftyIsBlue) {
    ScratchDatabase db("velkin_chart_share");
    fixedTable(db.admin(), db.name(), "more", 99, 300);
    fixedTable(db.admin(), db.name(), "less", 99, 100);
    StatementLog log;
    CDbGraphView& view = show(1, db.name());
    const QImage& picture = view.picture();
    // One statement reads the figures of every table.
    int statusStatements = 0;
    for (const std::string& sql : log.statements)
        statusStatements += sql.rfind("SHOW TABLE STATUS", 0) == 0;
    EXPECT_EQ(1, statusStatements);
    EXPECT_EQ(1, sentCount(log, "SHOW TABLE STATUS FROM velkin_chart_share"));
    EXPECT_EQ(0, sentCount(log, "SHOW TABLES")) << "the status statement lists the tables as well";
    // The screen paints only the part in sight, and that part is the picture's.
    for (QRect part : {QRect(0, 0, 800, 140), QRect(0, 120, 800, 90), QRect(0, 230, 800, 150)}) {
        part &= picture.rect();
        const QImage painted = view.widget()->grab(part).toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_TRUE(painted == picture.copy(part)) << part.y();
    }
    const ChartLayout& layout = view.layout();
    const ChartText* more = layout.find(QStringLiteral("more (300件)"));
    const ChartText* less = layout.find(QStringLiteral("less (100件)"));
    ASSERT_NE(nullptr, more);
    ASSERT_NE(nullptr, less);
    const QRect moreShare(660, more->at.y(), 140, 15);
    const QRect lessShare(660, less->at.y(), 140, 15);
    EXPECT_GT(count(picture, moreShare, bluish), 20);
    EXPECT_EQ(0, count(picture, moreShare, reddish));
    EXPECT_EQ(0, count(picture, lessShare, coloured));

    // The bars start light blue for the index and end light pink for the data; the longer table has
    // the longer bar.
    auto barEnd = [&](int y) {
        int x = 550;
        while (x < 800 && picture.pixel(x, y) != qRgb(255, 255, 255))
            ++x;
        return x;
    };
    for (const ChartText* row : {more, less}) {
        const int y = row->at.y() + 10;
        EXPECT_EQ(qRgb(150, 190, 255), picture.pixel(550, y));
        EXPECT_EQ(qRgb(248, 203, 247), picture.pixel(barEnd(y) - 1, y));
    }
    EXPECT_GT(barEnd(more->at.y() + 10), 600);
    EXPECT_LT(barEnd(less->at.y() + 10), 600);
}

TEST_F(ChartViewTest, ServerUsageSkipsUnreadableDatabasesWithoutGaps) {
    ScratchDatabase damaged("velkin_chart_usage");
    fixedTable(damaged.admin(), damaged.name(), "big", 250, 40);
    damage(damaged.admin(), damaged.name());
    ScratchDatabase share("velkin_chart_share");
    fixedTable(share.admin(), share.name(), "more", 99, 300);
    fixedTable(share.admin(), share.name(), "less", 99, 100);

    std::vector<std::string> expected;
    for (const std::string& name : column(share.admin(), "SHOW DATABASES"))
        if (name != damaged.name())
            expected.push_back(name);

    StatementLog log;
    CDbGraphView& view = show(0);
    const QImage& picture = view.picture();
    const ChartLayout& layout = view.layout();
    keepScreenshot(picture, "server");
    const std::vector<const ChartText*> rows = rowNames(layout);
    ASSERT_EQ(expected.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_TRUE(rows[i]->text.startsWith(qs(expected[i]) + QStringLiteral(" (")))
            << rows[i]->text.toStdString();
        EXPECT_EQ(115 + 50 * static_cast<int>(i), rows[i]->at.y());
        EXPECT_EQ(qRgb(0, 0, 0), picture.pixel(700, rows[i]->at.y() + 45));
    }
    EXPECT_NE(nullptr, layout.find(QStringLiteral("velkin_chart_share (400 affairs)")));
    EXPECT_EQ(50 * static_cast<int>(rows.size()) + 262, layout.height);
    EXPECT_EQ(layout.height, picture.height());

    EXPECT_NE(nullptr, layout.find(QStringLiteral("Server： 127.0.0.1")));
    const ChartText* heading = nullptr;
    for (const ChartText& t : layout.texts)
        if (t.text.startsWith(QStringLiteral("ALL (")))
            heading = &t;
    ASSERT_NE(nullptr, heading);
    EXPECT_TRUE(heading->text.endsWith(QStringLiteral(" affairs)")));
    const ChartText* total = nullptr;
    for (const ChartText& t : layout.texts)
        if (t.text.startsWith(QStringLiteral("This server useing ")))
            total = &t;
    ASSERT_NE(nullptr, total);
    EXPECT_GT(count(picture, areaOf(*total, 250), bluish), 30);
    // The heavy rule under the head and the head's bar.
    EXPECT_EQ(qRgb(0, 0, 0), picture.pixel(60, 110));
    EXPECT_EQ(qRgb(150, 190, 255), picture.pixel(551, 65));

    EXPECT_EQ(2, sentCount(log, "SHOW DATABASES"));
    EXPECT_EQ(1, sentCount(log, "SHOW TABLE STATUS FROM velkin_chart_share"));
    EXPECT_EQ(1, sentCount(log, "SHOW TABLE STATUS FROM velkin_chart_usage"));
}

TEST_F(ChartViewTest, AccessRestrictionsTellRefusedAndPermittedHosts) {
    GrantRowsOfOurOwn grants;
    exec(grants.admin(), "INSERT INTO mysql.host (Host, Db) VALUES ('%', 'velkin_chart_grants')");
    exec(grants.admin(),
         "INSERT INTO mysql.host (Host, Db, Select_priv, Delete_priv) VALUES ('velkin_chart_pc', "
         "'velkin_chart_grants', 'Y', 'Y')");
    pinServerThatReadsHostTable();
    StatementLog log;
    CDbGraphView& view = show(2, "velkin_chart_grants");
    const QImage& picture = view.picture();
    const ChartLayout& layout = view.layout();
    keepScreenshot(picture, "access");

    EXPECT_EQ((std::vector<std::string>{"select * from mysql.host where Db = 'velkin_chart_grants'"}),
              log.statements);
    EXPECT_NE(nullptr, layout.find(QStringLiteral("Access restrictions： Database velkin_chart_grants")));
    const ChartText* refused = layout.find(QStringLiteral("Access from all hosts is refused."));
    const ChartText* permitted = layout.find(QStringLiteral("velkin_chart_pc is access-permitted."));
    ASSERT_NE(nullptr, refused);
    ASSERT_NE(nullptr, permitted);
    EXPECT_EQ(280, refused->at.y() + permitted->at.y());  // 115 and 165 in either order
    EXPECT_EQ(50 * 2 + 235, layout.height);

    // Nothing but the text in the refused row; its picture has the red arrow, the other a green one.
    for (const ChartText& t : layout.texts) {
        if (t.at.y() >= refused->at.y() && t.at.y() < refused->at.y() + 50) {
            EXPECT_EQ(refused, &t) << t.text.toStdString();
        }
    }
    EXPECT_GT(count(picture, QRect(5, refused->at.y() - 10, 32, 32), reddish), 15);
    EXPECT_GT(count(picture, QRect(5, permitted->at.y() - 10, 32, 32), greenish), 15);
    EXPECT_EQ(0, count(picture, QRect(5, permitted->at.y() - 10, 32, 32), reddish));

    const ChartText* select = layout.find(QStringLiteral("Select"));
    const ChartText* dalete = layout.find(QStringLiteral("dalete"));
    ASSERT_NE(nullptr, select);
    ASSERT_NE(nullptr, dalete);
    EXPECT_EQ(QPoint(450, permitted->at.y()), select->at);
    EXPECT_EQ(QPoint(600, permitted->at.y()), dalete->at);
    EXPECT_GT(count(picture, areaOf(*select, 45), bluish), 10);
    EXPECT_GT(count(picture, areaOf(*dalete, 45), reddish), 10);
    EXPECT_EQ(nullptr, layout.find(QStringLiteral("Insert")));
}

TEST_F(ChartViewTest, UserRestrictionsNameUsersAndSayWhenThereAreNone) {
    GrantRowsOfOurOwn grants;
    exec(grants.admin(),
         "INSERT INTO mysql.db (Host, Db, User, Select_priv, Grant_priv, References_priv) VALUES ('%', "
         "'velkin_chart_grants', 'velkin_chart_u', 'Y', 'Y', 'Y')");
    StatementLog log;
    CDbGraphView& view = show(3, "velkin_chart_grants");
    const ChartLayout& layout = view.layout();
    view.picture();
    EXPECT_TRUE(log.sent("select * from mysql.db where Db = 'velkin_chart_grants'"));
    const ChartText* user = layout.find(QStringLiteral("velkin_chart_u  (%)"));
    ASSERT_NE(nullptr, user);
    EXPECT_EQ(QPoint(50, 115), user->at);
    ASSERT_NE(nullptr, layout.find(QStringLiteral("References")));
    EXPECT_EQ(QPoint(450, 135), layout.find(QStringLiteral("References"))->at);
    EXPECT_EQ(nullptr, layout.find(QStringLiteral("Grant")));
    EXPECT_EQ(285, layout.height);

    CDbGraphView& none = show(3, "velkin_chart_nogrants");
    const QImage& picture = none.picture();
    const ChartText* notice = none.layout().find(QStringLiteral("User restrictions are not performed."));
    ASSERT_NE(nullptr, notice);
    EXPECT_GT(count(picture, areaOf(*notice, 250), reddish), 30);
    EXPECT_EQ(235, none.layout().height);
    EXPECT_EQ(235, picture.height());
}

TEST_F(ChartViewTest, HostOverviewListsEveryHostRow) {
    GrantRowsOfOurOwn grants;
    exec(grants.admin(), "INSERT INTO mysql.host (Host, Db) VALUES ('%', 'velkin_chart_grants')");
    exec(grants.admin(),
         "INSERT INTO mysql.host (Host, Db, Alter_priv) VALUES ('velkin_chart_pc', 'velkin_chart_grants', "
         "'Y')");
    const int hostRows = std::stoi(scalar(grants.admin(), "select count(*) from mysql.host"));
    pinServerThatReadsHostTable();
    CDbGraphView& view = show(4);
    const QImage& picture = view.picture();
    const ChartLayout& layout = view.layout();
    keepScreenshot(picture, "hosts");

    const ChartText* all = layout.find(QStringLiteral("All Host  (velkin_chart_grants)"));
    const ChartText* pc = layout.find(QStringLiteral("velkin_chart_pc  (velkin_chart_grants)"));
    ASSERT_NE(nullptr, all);
    ASSERT_NE(nullptr, pc);
    const ChartText* alter = layout.find(QStringLiteral("Alter"));
    ASSERT_NE(nullptr, alter);
    EXPECT_EQ(QPoint(360, pc->at.y() + 20), alter->at);
    const ChartText* cannot = layout.find(QStringLiteral("It cannot access in this host and database."));
    ASSERT_NE(nullptr, cannot);
    EXPECT_EQ(QPoint(360, all->at.y()), cannot->at);
    EXPECT_GT(count(picture, areaOf(*cannot, 300), reddish), 30);
    EXPECT_EQ(50 * hostRows + 175, layout.height);
    EXPECT_EQ(static_cast<std::size_t>(hostRows), rowNames(layout, 60).size());
}

TEST_F(ChartViewTest, UserOverviewReadsNoNameForAnEmptyUserAndScrolls) {
    GrantRowsOfOurOwn grants;
    exec(grants.admin(),
         "INSERT INTO mysql.user (Host, User, Select_priv) VALUES ('velkin_chart_h', '', 'Y')");
    exec(grants.admin(),
         "INSERT INTO mysql.user (Host, User, Shutdown_priv) VALUES ('', 'velkin_chart_u', 'Y')");
    const int userRows = std::stoi(scalar(grants.admin(), "select count(*) from mysql.user"));
    CDbGraphView& view = show(6);
    const QImage& picture = view.picture();
    const ChartLayout& layout = view.layout();
    keepScreenshot(picture, "users");

    const ChartText* noName = layout.find(QStringLiteral("no name  (velkin_chart_h)"));
    const ChartText* noHost =
        layout.find(QStringLiteral("velkin_chart_u  (") + chartnames::hostNeeded() + QStringLiteral(")"));
    ASSERT_NE(nullptr, noName);
    ASSERT_NE(nullptr, noHost);
    EXPECT_EQ(60, noName->at.x());
    bool shut = false;
    for (const ChartText& t : layout.texts)
        shut = shut || (t.text == QStringLiteral("Shut") && t.at == QPoint(660, noHost->at.y()));
    EXPECT_TRUE(shut);
    EXPECT_EQ(50 * userRows + 175, layout.height);

    // One rule under the head and one under every row, 50 apart.
    const std::vector<int> runs = blackRuns(picture, 770);
    ASSERT_EQ(static_cast<std::size_t>(userRows + 1), runs.size());
    for (std::size_t i = 1; i < runs.size(); ++i)
        EXPECT_EQ(50, runs[i] - runs[i - 1]);

    // The pane is shorter than the chart: it scrolls down to the last rule.
    view.resize(820, 200);
    view.show();
    QApplication::processEvents();
    EXPECT_EQ(*layout.height - view.viewport()->height(), view.verticalScrollBar()->maximum());
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
    QApplication::processEvents();
    const QImage shown = view.grab().toImage();
    const int lastRule = runs.back() - (*layout.height - view.viewport()->height());
    EXPECT_EQ(qRgb(0, 0, 0), shown.pixel(770, lastRule));
    keepScreenshot(shown, "users-scrolled");
}

TEST_F(ChartViewTest, DatabaseOverviewGroupsTheGrantRowsOfEachDatabase) {
    ScratchDatabase db("velkin_chart_grants");
    GrantRowsOfOurOwn grants;
    exec(
        grants.admin(),
        "INSERT INTO mysql.db (Host, Db, User, Select_priv, Delete_priv) VALUES ('%', 'velkin_chart_grants', "
        "'velkin_chart_u', 'Y', 'Y')");
    StatementLog log;
    CDbGraphView& view = show(5);
    const QImage& picture = view.picture();
    const ChartLayout& layout = view.layout();
    keepScreenshot(picture, "databases");

    EXPECT_EQ(1, sentCount(log, "select * from mysql.db where Db = 'velkin_chart_grants'"));
    const ChartText* name = layout.find(QStringLiteral("velkin_chart_grants"));
    const ChartText* user = layout.find(QStringLiteral("velkin_chart_u"));
    ASSERT_NE(nullptr, name);
    ASSERT_NE(nullptr, user);
    EXPECT_EQ(QPoint(230, name->at.y() + 10), user->at);
    bool deleteWord = false;
    for (const ChartText& t : layout.texts)
        deleteWord = deleteWord || (t.text == QStringLiteral("Delete") && t.at == QPoint(470, user->at.y()));
    EXPECT_TRUE(deleteWord);
    EXPECT_GT(count(picture, QRect(5, name->at.y(), 32, 32), notWhite), 100);

    // Every user line, every closing rule and every "no data" takes one line of 20 pixels.
    int lines = 0;
    for (const ChartText& t : layout.texts)
        lines += (t.at.x() == 230 || t.text == QStringLiteral("no data")) ? 1 : 0;
    for (const ChartLine& l : layout.lines)
        lines += l.thickness == 2 ? 1 : 0;
    EXPECT_EQ(20 * lines + 172, layout.height);
}

TEST_F(ChartViewTest, SurveysOnceAfterItsFirstPaintAndPaintsWithoutAStatementForTheLifeOfTheView) {
    StatementLog log;
    CDbGraphView& view = show(6);
    view.grab();
    EXPECT_TRUE(log.statements.empty()) << "a paint only asks for the survey";
    EXPECT_FALSE(view.surveyed());
    view.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.surveyed(); }));
    const std::size_t surveyed = log.statements.size();
    const QImage first = view.grab().toImage();
    // The survey has given the view its size.
    EXPECT_EQ(QSize(800, view.layout().height.value_or(0)), view.logicalSize());
    view.refresh();
    host.updateAllViews();
    view.repaint();
    QApplication::processEvents();
    const QImage second = view.grab().toImage();
    EXPECT_EQ(surveyed, log.statements.size()) << "no statement while painting";
    EXPECT_EQ(1, sentCount(log, "select * from mysql.user"));
    EXPECT_EQ(first, second);
    EXPECT_GT(count(first, QRect(50, 10, 100, 25), notWhite), 30);

    CDbGraphView& fresh = show(6);
    fresh.picture();
    EXPECT_EQ(2, sentCount(log, "select * from mysql.user"));
}

TEST_F(ChartViewTest, KindsWithoutAChartDrawNothingAndKeepTheInitialSize) {
    StatementLog log;
    for (int kind : {-1, 7}) {
        CDbGraphView& view = show(kind);
        const QImage& picture = view.picture();
        EXPECT_EQ(QSize(80, 80), view.logicalSize());
        EXPECT_EQ(QSize(80, 80), picture.size());
        EXPECT_EQ(0, count(picture, picture.rect(), notWhite));
        EXPECT_FALSE(view.layout().height.has_value());
    }
    EXPECT_TRUE(log.statements.empty());
}

TEST_F(ChartViewTest, HostChartsSayWhereHostLimitsLiveOnServersThatIgnoreTheHostTable) {
    for (int kind : {2, 4}) {
        StatementLog log;
        CDbGraphView& view = show(kind, "velkin_chart_grants");
        view.picture();
        EXPECT_TRUE(log.statements.empty()) << "nothing read from a table the server ignores";
        const ChartText* notice = view.layout().find(hostTableIgnoredText());
        ASSERT_NE(nullptr, notice) << kind;
        EXPECT_EQ(50, notice->at.x());
        EXPECT_EQ(nullptr, view.layout().find(QStringLiteral("Access restrictions are not performed.")));
        EXPECT_EQ(nullptr, view.layout().find(QStringLiteral("Host restrictions are not performed.")));
    }
}

TEST_F(ChartViewTest, AGrantChartIsDrawnAfreshWhenAGrantScreenCloses) {
    GrantRowsOfOurOwn grants;
    StatementLog log;
    CDbGraphView& view = show(6);
    view.picture();
    EXPECT_EQ(1, sentCount(log, "select * from mysql.user"));
    exec(grants.admin(), "INSERT INTO mysql.user (Host, User) VALUES ('localhost', 'velkin_chart_new')");
    EXPECT_EQ(nullptr, view.layout().find(QStringLiteral("velkin_chart_new  (localhost)")));
    { GrantScreen closing; }
    view.picture();
    EXPECT_EQ(2, sentCount(log, "select * from mysql.user"));
    EXPECT_NE(nullptr, view.layout().find(QStringLiteral("velkin_chart_new  (localhost)")));

    // A usage chart does not depend on grants and keeps its drawing.
    CDbGraphView& usage = show(0);
    usage.picture();
    const int statusReads = static_cast<int>(log.statements.size());
    { GrantScreen closing; }
    usage.picture();
    EXPECT_EQ(statusReads, static_cast<int>(log.statements.size()));
}

TEST_F(ChartViewTest, AStoppedSurveyReadsNoFurtherFiguresAndKeepsTheRowsItListed) {
    StatementLog log;
    const std::atomic<bool> stop{true};
    const UsageSurvey survey = surveyServer(*doc.connection(), &stop);
    EXPECT_EQ(log.statements, (std::vector<std::string>{"SHOW DATABASES", "SHOW DATABASES"}));
    ASSERT_TRUE(survey.rows);
    EXPECT_FALSE(survey.rows->empty());
    for (const UsageRow& row : *survey.rows)
        EXPECT_FALSE(row.amount) << row.name;

    // A database's chart stopped before its status statement lists the tables without figures.
    ScratchDatabase db("velkin_chart_stopped");
    exec(db.admin(), "CREATE TABLE velkin_chart_stopped.t (id INT)");
    log.statements.clear();
    const UsageSurvey tables = surveyDatabase(*doc.connection(), db.name(), &stop);
    EXPECT_EQ(log.statements, (std::vector<std::string>{"SHOW TABLES", "SHOW TABLES"}));
    ASSERT_TRUE(tables.rows);
    ASSERT_EQ(1u, tables.rows->size());
    EXPECT_EQ("t", tables.rows->front().name);
    EXPECT_FALSE(tables.rows->front().amount);
}
