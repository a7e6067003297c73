#include "ColumnWidths.h"

#include <QHash>
#include <QHeaderView>
#include <QTableView>
#include <algorithm>

namespace velkin {

namespace {

constexpr int kMeasuredRows = 200;
/// A value longer than this is cut at the widest width anyway; measuring more only costs time.
constexpr int kMeasuredChars = 120;
/// The cell's margins left and right, as the item delegate draws them.
constexpr int kCellMargin = 12;

QHash<QString, std::vector<int>>& keptWidths() {
    static QHash<QString, std::vector<int>> widths;
    return widths;
}

QString shownText(const QTableView& view, int row, int column) {
    return view.model()->index(row, column).data(Qt::DisplayRole).toString();
}

}  // namespace

std::vector<int> ColumnWidths::fitted(const QTableView& view) {
    const QAbstractItemModel* model = view.model();
    const QFontMetrics header = view.horizontalHeader()->fontMetrics();
    const QFontMetrics cells = view.fontMetrics();
    const int rows = std::min(model->rowCount(), kMeasuredRows);
    std::vector<int> widths;
    for (int column = 0; column < model->columnCount(); ++column) {
        int width =
            header.horizontalAdvance(model->headerData(column, Qt::Horizontal).toString()) + kCellMargin;
        for (int row = 0; row < rows; ++row) {
            const QString text = shownText(view, row, column).left(kMeasuredChars);
            width = std::max(width, cells.horizontalAdvance(text) + kCellMargin);
        }
        widths.push_back(std::clamp(width, kNarrowest, kWidest));
    }
    return widths;
}

std::vector<int> ColumnWidths::kept(const QString& table) {
    return keptWidths().value(table);
}

void ColumnWidths::keep(const QString& table, std::vector<int> widths) {
    keptWidths().insert(table, std::move(widths));
}

bool ColumnWidths::isCut(const QTableView& view, int row, int column) {
    const QString text = shownText(view, row, column);
    return view.fontMetrics().horizontalAdvance(text) + kCellMargin > view.columnWidth(column) ||
           text.contains(QLatin1Char('\n'));
}

}  // namespace velkin
