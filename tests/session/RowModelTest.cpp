#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <string>

#include "session/RowModel.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

namespace {

/// A cell that differs by row and column, holds a NUL and bytes that are not UTF-8 in some rows,
/// and is NULL in others, so that a misplaced offset or flag shows.
std::optional<std::string> sampleCell(int row, int column) {
    if ((row * 5 + column) % 11 == 0)
        return std::nullopt;
    std::string s = std::to_string(row) + ":" + std::to_string(column);
    if (row % 3 == 0)
        s += std::string("\0z", 2);
    if (row % 7 == 0)
        s += "\xff\xfe";
    if (row % 13 == 0)
        s.clear();  // empty but not NULL
    s += std::string(static_cast<std::size_t>(row % 17), 'x');
    // Large cells now and then fill blocks early; one is larger than a block by itself.
    if (row % 1000 == 999 && column == 2)
        s += std::string(400000, static_cast<char>('a' + row / 1000));
    if (row == 5001 && column == 3)
        s += std::string(RowModel::kBlockBytes + 5, 'L');
    return s;
}

}  // namespace

TEST(RowModel, KeepsEveryCellOfALargeFillInPlace) {
    RowModel model;
    model.setColumns({"a", "b", "c", "d"});
    const int rows = 10000;
    std::vector<std::vector<std::optional<std::string>>> expected(rows);
    for (int r = 0; r < rows; ++r) {
        // The row's strings must be in place before views into them are taken: growing the vector
        // moves short strings and leaves earlier views dangling.
        for (int c = 0; c < 4; ++c)
            expected[r].push_back(sampleCell(r, c));
        std::vector<RowModel::Cell> cells;
        for (const auto& e : expected[r])
            cells.push_back(e ? RowModel::Cell(*e) : std::nullopt);
        model.appendRow(cells);
    }
    ASSERT_EQ(rows, model.rowCount());
    ASSERT_EQ(4, model.columnCount());
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < 4; ++c) {
            const auto& e = expected[r][c];
            RowModel::Cell cell = model.cell(r, c);
            ASSERT_EQ(e.has_value(), cell.has_value()) << r << "," << c;
            ASSERT_EQ(!e.has_value(), model.isNull(r, c)) << r << "," << c;
            if (e) {
                ASSERT_EQ(*e, std::string(*cell)) << r << "," << c;
            }
        }
    }
    // Display text is made from the bytes; NULL and empty both show as empty.
    EXPECT_EQ(QString(), model.cellText(0, 0));
    EXPECT_EQ(QString::fromUtf8(sampleCell(1, 2)->data(), static_cast<qsizetype>(sampleCell(1, 2)->size())),
              model.data(model.index(1, 2)).toString());
    ASSERT_EQ("", std::string(*model.cell(221, 1))) << "an empty cell";
    EXPECT_FALSE(model.isNull(221, 1));
    EXPECT_EQ(QString(), model.data(model.index(221, 1)).toString());
    EXPECT_EQ(QStringLiteral("3:1") + QChar(0) + "z" + "xxx", model.cellText(3, 1))
        << "the NUL stays in the text";
}

TEST(RowModel, StorageStaysNearTheCellBytes) {
    // A console-like answer: seven short cells a row, some NULL.
    RowModel model;
    model.setColumns({"id", "name", "note", "amount", "created", "changed", "quantity"});
    std::size_t bytes = 0;
    for (int r = 0; r < 60000; ++r) {
        const std::string id = std::to_string(r), name = "name-" + id, note = "note for row " + id;
        std::vector<RowModel::Cell> cells = {
            id,           name,         r % 5 ? RowModel::Cell(note) : std::nullopt, "12.50",
            "2000-01-01", std::nullopt, r % 7 ? RowModel::Cell("42") : std::nullopt};
        for (const auto& c : cells)
            bytes += c ? c->size() : 0;
        model.appendRow(cells);
    }
    EXPECT_EQ(bytes, model.byteSize());
    EXPECT_LE(model.storageSize(), bytes * 3 / 2) << "cell bytes " << bytes;
    EXPECT_EQ("note for row 59999", std::string(*model.cell(59999, 2)));
    EXPECT_TRUE(model.isNull(59995, 2));
}

TEST(RowModel, ShapeHeadersAndResets) {
    RowModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setColumns({"id", "名前"});
    EXPECT_EQ(QStringLiteral("名前"), model.headerData(1, Qt::Horizontal).toString());
    EXPECT_FALSE(model.headerData(2, Qt::Horizontal).isValid());
    const auto left = Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter);
    EXPECT_EQ(left, model.headerData(0, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>());

    // Cells beyond the columns are dropped; missing ones are NULL.
    model.appendRow({std::string_view("1"), std::string_view("ä"), std::string_view("dropped")});
    model.appendRow({std::string_view("only")});
    ASSERT_EQ(2, model.rowCount());
    EXPECT_EQ(QStringLiteral("ä"), model.data(model.index(0, 1)).toString());
    EXPECT_EQ(left, model.data(model.index(0, 1), Qt::TextAlignmentRole).value<Qt::Alignment>());
    EXPECT_EQ("only", std::string(*model.cell(1, 0)));
    EXPECT_TRUE(model.isNull(1, 1));
    EXPECT_EQ(std::nullopt, model.cell(0, 2));
    EXPECT_EQ(std::nullopt, model.cell(2, 0));
    EXPECT_EQ(std::nullopt, model.cell(-1, 0));
    EXPECT_EQ(QString(), model.cellText(9, 9));

    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    model.setColumns({"a"});
    EXPECT_EQ(0, model.rowCount()) << "new columns start without rows";
    model.appendRow({std::string_view("z")});
    model.clearRows();
    EXPECT_EQ(0, model.rowCount());
    EXPECT_EQ(1, model.columnCount());
    EXPECT_EQ(0u, model.byteSize());
    model.appendRow({std::string_view("after")});
    EXPECT_EQ("after", std::string(*model.cell(0, 0))) << "offsets start again after clearing";
    model.clear();
    EXPECT_EQ(0, model.rowCount());
    EXPECT_EQ(0, model.columnCount());
    EXPECT_EQ(3, resets.count());
}

TEST(RowModel, TakesRowsFromAResultUpToALimitAndAnnouncesThemOnce) {
    auto admin = connectAdmin();
    Result result = admin->select(
        "SELECT 1, NULL, 'a' UNION ALL SELECT 2, 'two', CONCAT('b', CHAR(0), 'c') UNION ALL "
        "SELECT 3, '', NULL UNION ALL SELECT 4, 'four', 'd'");
    ASSERT_TRUE(result);

    RowModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setColumns({"n", "text", "bytes"});
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    EXPECT_EQ(3u, model.appendRows(result, 3));
    ASSERT_EQ(1, inserted.count());
    EXPECT_EQ(0, inserted.at(0).at(1).toInt());
    EXPECT_EQ(2, inserted.at(0).at(2).toInt());
    ASSERT_EQ(3, model.rowCount());
    EXPECT_EQ("1", std::string(*model.cell(0, 0)));
    EXPECT_TRUE(model.isNull(0, 1));
    EXPECT_EQ(std::string("b\0c", 3), std::string(*model.cell(1, 2)))
        << "lengths come from the server, not from NUL";
    EXPECT_FALSE(model.isNull(2, 1)) << "an empty text is not NULL";
    EXPECT_EQ("", std::string(*model.cell(2, 1)));
    EXPECT_TRUE(model.isNull(2, 2));

    // The rest of the same result goes on after the rows already taken.
    EXPECT_EQ(1u, model.appendRows(result, 100));
    EXPECT_EQ(2, inserted.count());
    EXPECT_EQ("four", std::string(*model.cell(3, 1)));
    EXPECT_EQ(0u, model.appendRows(result, 100));
    EXPECT_EQ(2, inserted.count()) << "nothing to insert, nothing announced";

    Result none;
    EXPECT_EQ(0u, model.appendRows(none, 10));
    EXPECT_EQ(4, model.rowCount());
}

TEST(RowModel, NullShowsAsNullButCopiesAsNothingAndCopiedCellsReadBack) {
    RowModel model;
    model.setColumns({"a", "b", "c"});
    model.appendRow({RowModel::Cell("1"), std::nullopt, RowModel::Cell("")});
    model.appendRow({RowModel::Cell("\"quoted\" at the start"), RowModel::Cell("carriage\rreturn"),
                     RowModel::Cell("inner \"quote\"")});
    EXPECT_EQ("NULL", model.data(model.index(0, 1)).toString());
    EXPECT_TRUE(model.data(model.index(0, 1), RowModel::NullRole).toBool());
    EXPECT_EQ("", model.data(model.index(0, 2)).toString());
    EXPECT_FALSE(model.data(model.index(0, 2), RowModel::NullRole).toBool());
    EXPECT_EQ("", model.cellText(0, 1));

    // Order of the selection does not matter, and a cell named twice is copied once.
    const QModelIndexList all = {model.index(1, 2), model.index(0, 0), model.index(1, 0), model.index(0, 2),
                                 model.index(0, 1), model.index(1, 1), model.index(0, 0)};
    EXPECT_EQ("1\t\t\n\"\"\"quoted\"\" at the start\"\t\"carriage\rreturn\"\tinner \"quote\"",
              model.copiedText(all));
    // One cell alone is its plain text; cells of other models and outside the rows are ignored.
    EXPECT_EQ("\"quoted\" at the start", model.copiedText({model.index(1, 0)}));
    RowModel other;
    other.setColumns({"x"});
    other.appendRow({RowModel::Cell("elsewhere")});
    EXPECT_EQ("1", model.copiedText({model.index(0, 0), other.index(0, 0), QModelIndex()}));
    EXPECT_EQ("", model.copiedText({}));
    // Rows that are not next to each other are still one line each.
    EXPECT_EQ("1\n\"\"\"quoted\"\" at the start\"", model.copiedText({model.index(1, 0), model.index(0, 0)}));
}
