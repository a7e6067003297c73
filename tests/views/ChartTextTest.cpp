#include <gtest/gtest.h>

#include <QFontInfo>
#include <QPainter>

#include "views/ChartPainter.h"
#include "views/ChartText.h"

using namespace velkin;

namespace {

using Row = std::vector<std::string>;

TableAmount amount(std::uint64_t rows, std::uint64_t data, std::uint64_t index, std::uint64_t free = 0) {
    TableAmount a;
    a.rows = rows;
    a.data = data;
    a.index = index;
    a.free = free;
    return a;
}

UsageSurvey usage(const std::vector<UsageRow>& rows) {
    UsageSurvey s;
    s.listed = true;
    s.listedCount = rows.size();
    for (const UsageRow& r : rows)
        if (r.amount)
            addAmount(s.totals, *r.amount);
    s.rows = rows;
    return s;
}

/// A grant row: the key columns, then Y for the named privilege positions and N for the others.
Row grantRow(std::vector<std::string> keys, std::size_t flags, const std::vector<std::size_t>& on,
             const char* yes = "Y") {
    Row row = std::move(keys);
    const std::size_t first = row.size();
    for (std::size_t i = 0; i < flags; ++i)
        row.push_back("N");
    for (std::size_t i : on)
        row[first + i] = yes;
    return row;
}

/// Texts of the layout that stand in the band of one row (top y, 50 high).
QStringList textsOfRow(const ChartLayout& layout, int y) {
    QStringList list;
    for (const ChartText& t : layout.texts)
        if (t.at.y() >= y && t.at.y() < y + 50)
            list << t.text;
    return list;
}

void expectText(const ChartLayout& layout, const QString& text, QPoint at, const ChartFont& font,
                const QColor& colour = QColor(0, 0, 0)) {
    const ChartText* t = layout.find(text);
    ASSERT_NE(nullptr, t) << text.toStdString();
    EXPECT_EQ(at, t->at) << text.toStdString();
    EXPECT_EQ(font, t->font) << text.toStdString();
    EXPECT_EQ(colour, t->colour) << text.toStdString();
}

const QColor kBlack(0, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kPurple(70, 50, 100);
const QColor kLightBlue(150, 190, 255);
const QColor kLightPink(248, 203, 247);

}  // namespace

TEST(ChartShares, ReadZeroWhenTheWholeIsEmptyAndColourAboveNinetyAndFifty) {
    EXPECT_EQ(0.0, sharePercent(0, 0));
    EXPECT_EQ(0.0, sharePercent(5, 0));
    EXPECT_DOUBLE_EQ(25.0, sharePercent(1, 4));
    // Figures beyond 32 bits keep their ratio.
    EXPECT_DOUBLE_EQ(50.0, sharePercent(6000000000ULL, 12000000000ULL));
    EXPECT_EQ(kRed, shareColour(90.01));
    EXPECT_EQ(kBlue, shareColour(90.0));
    EXPECT_EQ(kBlue, shareColour(50.01));
    EXPECT_EQ(kBlack, shareColour(50.0));
    EXPECT_EQ(kBlack, shareColour(0.0));
}

TEST(ChartBars, SplitIntoTheIndexShareAndTheRestTruncated) {
    auto bar = barLines(550, 650, 65, 33.9);
    ASSERT_EQ(2u, bar.size());
    EXPECT_EQ(QPoint(550, 65), bar[0].from);
    EXPECT_EQ(QPoint(583, 65), bar[0].to);
    EXPECT_EQ(kLightBlue, bar[0].colour);
    EXPECT_EQ(10, bar[0].thickness);
    EXPECT_EQ(QPoint(583, 65), bar[1].from);
    EXPECT_EQ(QPoint(650, 65), bar[1].to);
    EXPECT_EQ(kLightPink, bar[1].colour);

    bar = barLines(550, 650, 65, 100.0);
    ASSERT_EQ(1u, bar.size());
    EXPECT_EQ(kLightBlue, bar[0].colour);
    bar = barLines(550, 600, 125, 0.0);
    ASSERT_EQ(1u, bar.size());
    EXPECT_EQ(kLightPink, bar[0].colour);
    // A row whose share of the whole is 0 has no length to draw.
    EXPECT_TRUE(barLines(550, 550, 125, 40.0).empty());
}

TEST(ServerUsageChart, DrawsTheHeadAndOneRowPerReadableDatabaseWithoutGaps) {
    UsageSurvey s = usage({{"alpha", amount(10, 9000, 1000)},
                           {"broken", std::nullopt},
                           {"beta", amount(3, 0, 0)},
                           {"gamma", amount(7, 50000, 40000, 10000)}});
    ChartLayout layout = serverUsageChart(QStringLiteral("db.example"), s);

    const ChartFont legend{12, 600, true};
    expectText(layout, QStringLiteral("Server： db.example"), {50, 10}, {23, 500, false});
    expectText(layout, QStringLiteral("ALL (20 affairs)"), {50, 60}, {20, 800, false});
    expectText(layout, QStringLiteral("Index"), {450, 45}, legend);
    expectText(layout, QStringLiteral("Data"), {655, 45}, legend);
    expectText(layout, QStringLiteral("41000 Byte"), {450, 75}, legend);
    expectText(layout, QStringLiteral("59000 Byte"), {655, 75}, legend);
    expectText(layout, QStringLiteral("This server useing 110000 Byte"), {450, 95}, legend, kBlue);

    // The readable databases close up: 115, 165, 215.
    expectText(layout, QStringLiteral("alpha (10 affairs)"), {50, 115}, {15, 800, false});
    expectText(layout, QStringLiteral("beta (3 affairs)"), {50, 165}, {15, 800, false});
    expectText(layout, QStringLiteral("gamma (7 affairs)"), {50, 215}, {15, 800, false});
    EXPECT_EQ(nullptr, layout.find(QStringLiteral("broken (0 affairs)")));
    EXPECT_EQ(50 * 3 + 262, layout.height);

    // alpha 10000 of 110000, gamma 100000 of 110000.
    expectText(layout, QStringLiteral(" 9.09 Percent of All"), {660, 115}, legend, kBlack);
    expectText(layout, QStringLiteral(" 0.00 Percent of All"), {660, 165}, legend, kBlack);
    expectText(layout, QStringLiteral("90.91 Percent of All"), {660, 215}, legend, kRed);
    // gamma's Data figure stands at the end of its bar: 550 + 90.
    expectText(layout, QStringLiteral("50000 Byte"), {640, 237}, legend);
    expectText(layout, QStringLiteral("40000 Byte"), {450, 237}, legend);

    ASSERT_EQ(4u, layout.icons.size());
    EXPECT_EQ(ChartPicture::Server, layout.icons[0].picture);
    EXPECT_EQ(ChartPicture::Database, layout.icons[3].picture);
    EXPECT_EQ(QPoint(5, 205), layout.icons[3].at);

    // Head bar 41 % index; alpha's bar 9 long with too little index to show; beta has no bar;
    // gamma's is 90 long and 40 % index. Rules under the head and every row.
    std::vector<std::tuple<int, int, int, int>> lines;
    for (const ChartLine& l : layout.lines)
        lines.emplace_back(l.from.x(), l.to.x(), l.from.y(), l.thickness);
    EXPECT_EQ((std::vector<std::tuple<int, int, int, int>>{{550, 591, 65, 10},
                                                           {591, 650, 65, 10},
                                                           {50, 750, 110, 3},
                                                           {550, 559, 125, 10},
                                                           {50, 750, 160, 2},
                                                           {50, 750, 210, 2},
                                                           {550, 586, 225, 10},
                                                           {586, 640, 225, 10},
                                                           {50, 750, 260, 2}}),
              lines);
}

TEST(ServerUsageChart, EmptyServerReadsZeroAndLargeSumsAreNotWrapped) {
    ChartLayout empty = serverUsageChart(QStringLiteral("h"), usage({{"a", amount(0, 0, 0)}}));
    EXPECT_NE(nullptr, empty.find(QStringLiteral("ALL (0 affairs)")));
    EXPECT_NE(nullptr, empty.find(QStringLiteral("This server useing 0 Byte")));
    EXPECT_NE(nullptr, empty.find(QStringLiteral(" 0.00 Percent of All")));
    EXPECT_EQ(312, empty.height);

    const std::uint64_t big = 5000000000ULL;
    ChartLayout large = serverUsageChart(QStringLiteral("h"),
                                         usage({{"a", amount(big, big, 0)}, {"b", amount(big, big, 0)}}));
    EXPECT_NE(nullptr, large.find(QStringLiteral("ALL (10000000000 affairs)")));
    EXPECT_NE(nullptr, large.find(QStringLiteral("10000000000 Byte")));
    EXPECT_NE(nullptr, large.find(QStringLiteral("50.00 Percent of All")));

    UsageSurvey noSecondList = usage({{"a", amount(1, 1, 1)}});
    noSecondList.rows.reset();
    ChartLayout cut = serverUsageChart(QStringLiteral("h"), noSecondList);
    EXPECT_EQ(195, cut.height);
    EXPECT_NE(nullptr, cut.find(QStringLiteral("ALL (1 affairs)")));
}

TEST(DatabaseUsageChart, UnreadableTableKeepsItsEmptyRow) {
    TableAmount orders = amount(12, 700, 300);
    orders.type = "MyISAM";
    orders.rowFormat = "Fixed";
    orders.updated = "2024-05-06 07:08:09";
    TableAmount items = amount(4, 50, 0, 0);
    items.type = "InnoDB";
    items.rowFormat = "Dynamic";
    ChartLayout layout = databaseUsageChart(
        QStringLiteral("shop"), usage({{"orders", orders}, {"lost", std::nullopt}, {"items", items}}));

    const ChartFont legend{12, 600, true};
    expectText(layout, QStringLiteral("Database  ： shop"), {50, 10}, {23, 500, false});
    expectText(layout, QStringLiteral("All  (16 affairs)"), {50, 60}, {20, 800, false});
    expectText(layout, QStringLiteral("This Database using 1050 Byte"), {450, 95}, legend, kBlue);
    expectText(layout, QStringLiteral("orders (12件)"), {50, 115}, {15, 800, false});
    expectText(layout, QStringLiteral("Update 2024-05-06 07:08:09"), {250, 140}, legend, kBlue);
    expectText(layout, QStringLiteral("(MyISAM Fixed)"), {0, 140}, {11, 300, false});
    expectText(layout, QStringLiteral("95.24 % of All"), {660, 115}, legend, kRed);
    EXPECT_TRUE(textsOfRow(layout, 165).isEmpty());
    // InnoDB only estimates its rows, and the chart says so.
    expectText(layout, QStringLiteral("items (about 4件)"), {50, 215}, {15, 800, false});
    expectText(layout, QStringLiteral(" 4.76 % of All"), {660, 215}, legend, kBlack);
    expectText(layout, QStringLiteral("(InnoDB Dynamic)"), {0, 240}, {11, 300, false});
    // A table without an update time shows the word alone.
    expectText(layout, QStringLiteral("Update "), {250, 240}, legend, kBlue);
    EXPECT_EQ(50 * 3 + 262, layout.height);
    ASSERT_EQ(3u, layout.icons.size());
    EXPECT_EQ(ChartPicture::Table, layout.icons[1].picture);
    EXPECT_EQ(QPoint(5, 205), layout.icons[2].at);
}

TEST(DatabaseUsageChart, HeightsWhenListingsFailOrTheDatabaseIsEmpty) {
    ChartLayout unlisted = databaseUsageChart(QStringLiteral("d"), UsageSurvey{});
    EXPECT_EQ(110, unlisted.height);
    EXPECT_EQ(1u, unlisted.texts.size());

    ChartLayout empty = databaseUsageChart(QStringLiteral("d"), usage({}));
    EXPECT_EQ(262, empty.height);
    EXPECT_EQ(1u, empty.texts.size());
    EXPECT_TRUE(empty.lines.empty());

    UsageSurvey secondFails = usage({{"a", amount(1, 1, 1)}});
    secondFails.rows.reset();
    ChartLayout cut = databaseUsageChart(QStringLiteral("d"), secondFails);
    EXPECT_EQ(213, cut.height);
    EXPECT_NE(nullptr, cut.find(QStringLiteral("All  (1 affairs)")));
}

TEST(AccessRestrictionsChart, TellsPermittedAndRefusedHostsAndPlacesTheirWords) {
    // mysql.host: Host, Db, then Select Insert Update Delete Create Drop Grant References Index Alter.
    std::vector<Row> rows{grantRow({"%", "shop"}, 10, {}), grantRow({"%", "shop"}, 10, {0}),
                          grantRow({"pc1", "shop"}, 10, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, "y"),
                          grantRow({"pc2", "shop"}, 10, {})};
    ChartLayout layout = accessRestrictionsChart(QStringLiteral("shop"), rows);
    const ChartFont font{12, 800, false};
    expectText(layout, QStringLiteral("Access restrictions： Database shop"), {50, 10}, {23, 500, false});
    expectText(layout, QStringLiteral("Access from all hosts is refused."), {50, 115}, font);
    expectText(layout, QStringLiteral("Access from all hosts is permitted."), {50, 165}, font);
    expectText(layout, QStringLiteral("pc1 is access-permitted."), {50, 215}, font);
    expectText(layout, QStringLiteral("pc2 is access-refused."), {50, 265}, font);
    EXPECT_EQ(QStringList{QStringLiteral("Access from all hosts is refused.")}, textsOfRow(layout, 115));
    EXPECT_EQ((QStringList{QStringLiteral("Access from all hosts is permitted."), QStringLiteral("Select")}),
              textsOfRow(layout, 165));

    expectText(layout, QStringLiteral("Select"), {450, 165}, font, kBlue);
    EXPECT_EQ((QStringList{"pc1 is access-permitted.", "Select", "Insert", "Update", "dalete", "Create",
                           "Drop", "Grant", "References", "Index", "Alter"}),
              textsOfRow(layout, 215));
    expectText(layout, QStringLiteral("dalete"), {600, 215}, font, kRed);
    expectText(layout, QStringLiteral("Drop"), {700, 215}, font, kPurple);
    expectText(layout, QStringLiteral("References"), {500, 235}, font, kPurple);
    expectText(layout, QStringLiteral("Alter"), {650, 235}, font, kPurple);

    ASSERT_EQ(5u, layout.icons.size());
    EXPECT_EQ(ChartPicture::Refused, layout.icons[1].picture);
    EXPECT_EQ(QPoint(5, 105), layout.icons[1].at);
    EXPECT_EQ(ChartPicture::Permitted, layout.icons[2].picture);
    EXPECT_EQ(ChartPicture::Refused, layout.icons[4].picture);
    EXPECT_EQ(50 * 4 + 235, layout.height);
}

TEST(AccessRestrictionsChart, NoRowsAndFailure) {
    ChartLayout none = accessRestrictionsChart(QStringLiteral("d"), std::vector<Row>{});
    expectText(none, QStringLiteral("Access restrictions are not performed."), {270, 115}, {12, 800, false},
               kRed);
    EXPECT_EQ(235, none.height);
    ChartLayout failed = accessRestrictionsChart(QStringLiteral("d"), std::nullopt);
    EXPECT_EQ(213, failed.height);
    EXPECT_EQ(1u, failed.texts.size());
    EXPECT_EQ(1u, failed.lines.size());
}

TEST(UserRestrictionsChart, NamesUserAndHostAndShowsNoGrantWord) {
    // mysql.db: Host, Db, User, then the ten privileges.
    std::vector<Row> rows{grantRow({"localhost", "shop", "ann"}, 10, {3, 6, 7, 8, 9}),
                          grantRow({"%", "shop", "bob"}, 10, {0})};
    ChartLayout layout = userRestrictionsChart(QStringLiteral("shop"), rows);
    const ChartFont font{12, 800, false};
    expectText(layout, QStringLiteral("User restrictions： Database shop"), {50, 10}, {23, 500, false});
    expectText(layout, QStringLiteral("ann  (localhost)"), {50, 115}, font);
    expectText(layout, QStringLiteral("delete"), {600, 115}, font, kRed);
    expectText(layout, QStringLiteral("References"), {450, 135}, font, kPurple);
    expectText(layout, QStringLiteral("Index"), {550, 135}, font, kPurple);
    expectText(layout, QStringLiteral("Alter"), {600, 135}, font, kPurple);
    EXPECT_EQ(nullptr, layout.find(QStringLiteral("Grant")));
    expectText(layout, QStringLiteral("bob  (%)"), {50, 165}, font);
    expectText(layout, QStringLiteral("Select"), {450, 165}, font, kBlue);
    EXPECT_EQ(ChartPicture::User, layout.icons[2].picture);
    EXPECT_EQ(QPoint(5, 155), layout.icons[2].at);
    EXPECT_EQ(50 * 2 + 235, layout.height);

    ChartLayout none = userRestrictionsChart(QStringLiteral("shop"), std::vector<Row>{});
    expectText(none, QStringLiteral("User restrictions are not performed."), {270, 115}, font, kRed);
    EXPECT_EQ(213, userRestrictionsChart(QStringLiteral("shop"), std::nullopt).height);
}

TEST(HostOverviewChart, NamesHostsAndDatabasesAndMarksRefusedRows) {
    std::vector<Row> rows{grantRow({"%", "%"}, 10, {0, 7, 8, 9}), grantRow({"", ""}, 10, {}),
                          grantRow({"pc1", "shop"}, 10, {6})};
    ChartLayout layout = hostOverviewChart(rows);
    const ChartFont name{15, 800, false};
    const ChartFont word{9, 800, true};
    expectText(layout, QStringLiteral("Host"), {50, 10}, {23, 500, false});
    expectText(layout, QStringLiteral("All Host  (All Database)"), {60, 55}, name);
    expectText(layout, QStringLiteral("Select"), {360, 55}, word, kBlue);
    expectText(layout, QStringLiteral("Refere"), {650, 55}, word, kPurple);
    expectText(layout, QStringLiteral("Index"), {710, 55}, word, kPurple);
    expectText(layout, QStringLiteral("Alter"), {360, 75}, word, kPurple);
    expectText(layout,
               chartnames::noHost() + QStringLiteral("  (") + chartnames::noDatabase() + QStringLiteral(")"),
               {60, 105}, name);
    expectText(layout, QStringLiteral("It cannot access in this host and database."), {360, 105},
               {15, 400, true}, kRed);
    expectText(layout, QStringLiteral("pc1  (shop)"), {60, 155}, name);
    expectText(layout, QStringLiteral("Grant"), {600, 155}, word, kPurple);
    EXPECT_EQ(QStringList{}, textsOfRow(layout, 155).filter(QStringLiteral("cannot")));
    ASSERT_EQ(4u, layout.icons.size());
    EXPECT_EQ(ChartPicture::Server, layout.icons[0].picture);
    EXPECT_EQ(ChartPicture::Permitted, layout.icons[1].picture);
    EXPECT_EQ(QPoint(5, 55), layout.icons[1].at);
    EXPECT_EQ(ChartPicture::Refused, layout.icons[2].picture);
    EXPECT_EQ(50 * 3 + 175, layout.height);

    ChartLayout none = hostOverviewChart(std::vector<Row>{});
    expectText(none, QStringLiteral("Host restrictions are not performed."), {280, 55}, {12, 800, false},
               kRed);
    EXPECT_EQ(175, none.height);
    EXPECT_EQ(153, hostOverviewChart(std::nullopt).height);
}

TEST(UserOverviewChart, EmptyUserReadsNoNameAndReferencesHasNoWord) {
    // mysql.user: Host, User, Password, then the fourteen global privileges.
    std::vector<Row> rows{grantRow({"pc1", "", "*AB"}, 14, {0, 11}),
                          grantRow({"", "ann", ""}, 14, {6, 7, 8, 9, 10, 12, 13})};
    ChartLayout layout = userOverviewChart(rows);
    const ChartFont name{15, 800, false};
    const ChartFont word{9, 800, true};
    expectText(layout, QStringLiteral("User"), {50, 10}, {23, 500, false});
    expectText(layout, QStringLiteral("no name  (pc1)"), {60, 55}, name);
    EXPECT_EQ((QStringList{"no name  (pc1)", "Select"}), textsOfRow(layout, 55));
    expectText(layout, QStringLiteral("ann  (") + chartnames::hostNeeded() + QStringLiteral(")"), {60, 105},
               name);
    const std::vector<std::tuple<const char*, int, int>> places{
        {"Reload", 600, 105}, {"Shut", 660, 105},  {"Process", 700, 105}, {"File", 360, 125},
        {"Grant", 400, 125},  {"Index", 450, 125}, {"Alter", 500, 125}};
    for (const auto& [w, x, y] : places)
        expectText(layout, QString::fromLatin1(w), {x, y}, word, kPurple);
    ASSERT_EQ(3u, layout.icons.size());
    EXPECT_EQ(QPoint(5, 105), layout.icons[2].at);
    EXPECT_EQ(50 * 2 + 175, layout.height);
    std::vector<int> rules;
    for (const ChartLine& l : layout.lines)
        if (l.from.x() == 60 && l.to.x() == 780)
            rules.push_back(l.from.y());
    EXPECT_EQ((std::vector<int>{50, 100, 150}), rules);

    ChartLayout none = userOverviewChart(std::vector<Row>{});
    expectText(none, QStringLiteral("User restrictions are not performed."), {280, 55}, {12, 800, false},
               kRed);
    EXPECT_EQ(153, userOverviewChart(std::nullopt).height);
}

TEST(DatabaseOverviewChart, RunsInLinesOfTwentyPixels) {
    std::vector<DatabaseGrants> dbs{
        {"alpha", std::vector<Row>{grantRow({"%", "alpha", "ann"}, 10, {0, 7}),
                                   grantRow({"%", "alpha", "bob"}, 10, {3})}},
        {"empty", std::vector<Row>{}},
        {"gone", std::nullopt},
        {"delta", std::vector<Row>{grantRow({"%", "delta", "cy"}, 10, {9})}},
    };
    ChartLayout layout = databaseOverviewChart(dbs);
    const ChartFont word{9, 800, true};
    expectText(layout, QStringLiteral("Database"), {50, 10}, {23, 500, false});
    expectText(layout, QStringLiteral("alpha"), {50, 75}, {15, 800, false});
    expectText(layout, QStringLiteral("ann"), {230, 85}, {12, 800, true});
    expectText(layout, QStringLiteral("Select"), {350, 85}, word, kBlue);
    expectText(layout, QStringLiteral("Refer"), {590, 85}, word, kPurple);
    expectText(layout, QStringLiteral("bob"), {230, 105}, {12, 800, true});
    expectText(layout, QStringLiteral("Delete"), {470, 105}, word, kRed);
    EXPECT_EQ(nullptr, layout.find(QStringLiteral("empty")));
    expectText(layout, QStringLiteral("no data"), {450, 165}, {12, 800, false});
    expectText(layout, QStringLiteral("delta"), {50, 155}, {15, 800, false});
    expectText(layout, QStringLiteral("cy"), {230, 165}, {12, 800, true});
    expectText(layout, QStringLiteral("Alter"), {690, 165}, word, kPurple);
    std::vector<int> rules;
    for (const ChartLine& l : layout.lines)
        rules.push_back(l.from.y());
    EXPECT_EQ((std::vector<int>{70, 130, 190}), rules);
    EXPECT_EQ(20 * 6 + 172, layout.height);
    ASSERT_EQ(3u, layout.icons.size());
    EXPECT_EQ(QPoint(5, 155), layout.icons[2].at);

    ChartLayout none = databaseOverviewChart(std::vector<DatabaseGrants>{{"x", std::vector<Row>{}}});
    expectText(none, QStringLiteral("There is no database."), {270, 85}, {12, 800, false}, kRed);
    EXPECT_EQ(172, none.height);
    EXPECT_EQ(173, databaseOverviewChart(std::nullopt).height);
}

TEST(ChartPainting, PaintsBarsRulesTextsAndPicturesWhereTheLayoutSays) {
    ChartLayout layout;
    for (const ChartLine& l : barLines(550, 650, 65, 30.0))
        layout.lines.push_back(l);
    layout.lines.push_back({QPoint(50, 110), QPoint(750, 110), 3, QColor(0, 0, 0)});
    layout.texts.push_back({QStringLiteral("件"), QPoint(100, 200), {15, 800, false}, QColor(255, 0, 0)});
    layout.icons.push_back({ChartPicture::Database, QPoint(5, 300)});
    QImage image = renderChart(layout, QSize(800, 400));

    EXPECT_EQ(qRgb(150, 190, 255), image.pixel(550, 65));
    EXPECT_EQ(qRgb(150, 190, 255), image.pixel(579, 61));
    EXPECT_EQ(qRgb(248, 203, 247), image.pixel(580, 65));
    EXPECT_EQ(qRgb(248, 203, 247), image.pixel(649, 69));
    EXPECT_EQ(qRgb(255, 255, 255), image.pixel(650, 65));
    EXPECT_EQ(qRgb(255, 255, 255), image.pixel(600, 71));
    for (int y = 109; y <= 111; ++y)
        EXPECT_EQ(qRgb(0, 0, 0), image.pixel(400, y)) << y;
    EXPECT_EQ(qRgb(255, 255, 255), image.pixel(400, 107));
    EXPECT_EQ(qRgb(255, 255, 255), image.pixel(400, 113));

    // The text lies below its top and is red; the picture covers its 32 by 32 square.
    int red = 0;
    for (int y = 200; y < 216; ++y)
        for (int x = 100; x < 116; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 90 && c.blue() < 90)
                ++red;
        }
    EXPECT_GT(red, 20);
    for (int x = 95; x < 130; ++x)
        EXPECT_EQ(qRgb(255, 255, 255), image.pixel(x, 198));
    int drawn = 0;
    for (int y = 300; y < 332; ++y)
        for (int x = 5; x < 37; ++x)
            drawn += image.pixel(x, y) != qRgb(255, 255, 255);
    EXPECT_GT(drawn, 300);
}

TEST(ChartPainting, AllSixPicturesAreDistinctThirtyTwoSquares) {
    const ChartPicture all[] = {ChartPicture::Server, ChartPicture::Database,  ChartPicture::Table,
                                ChartPicture::User,   ChartPicture::Permitted, ChartPicture::Refused};
    std::vector<QImage> images;
    for (ChartPicture p : all) {
        QPixmap pixmap = chartPicture(p);
        EXPECT_EQ(QSize(32, 32), pixmap.size());
        images.push_back(pixmap.toImage().convertToFormat(QImage::Format_ARGB32));
    }
    for (std::size_t i = 0; i < images.size(); ++i)
        for (std::size_t j = i + 1; j < images.size(); ++j)
            EXPECT_NE(images[i], images[j]) << i << " " << j;
}

TEST(ChartPainting, UsesAJapaneseGothicFaceAtPixelHeights) {
    const QFont font = chartFont({20, 800, false});
    EXPECT_EQ(20, font.pixelSize());
    EXPECT_EQ(QFont::ExtraBold, font.weight());
    EXPECT_EQ(QStringLiteral("ＭＳ ゴシック"), font.families().value(0));
    const QString resolved = QFontInfo(font).family();
    EXPECT_TRUE(resolved == QStringLiteral("ＭＳ ゴシック") || resolved.startsWith(QStringLiteral("IPA")))
        << resolved.toStdString();
    EXPECT_TRUE(chartFont({12, 600, true}).italic());
}
