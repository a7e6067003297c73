#include "GridCopy.h"

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "session/RowModel.h"

namespace velkin {

namespace {

QString quotedWhenNeeded(QString text, bool quote) {
    if (!quote && !text.contains('\t') && !text.contains('\n') && !text.contains('\r') &&
        !text.startsWith('"'))
        return text;
    text.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return '"' + text + '"';
}

QString copiedCell(const RowModel& rows, int row, int column, CopiedNull null, bool alone) {
    const RowModel::Cell cell = rows.cell(row, column);
    if (!cell)
        return null == CopiedNull::Word ? QStringLiteral("NULL") : QString();
    const QString text = rows.cellText(row, column);
    // A lone cell is pasted as it reads, unless it could be taken for NULL.
    const bool readsAsNull =
        null == CopiedNull::Word && text.compare(QStringLiteral("NULL"), Qt::CaseInsensitive) == 0;
    if (alone)
        return readsAsNull ? quotedWhenNeeded(text, true) : text;
    return quotedWhenNeeded(text, readsAsNull);
}

}  // namespace

QString gridCopyText(const RowModel& rows, const QModelIndexList& cells, bool withColumnNames,
                     CopiedNull null) {
    std::vector<std::pair<int, int>> places;
    for (const QModelIndex& index : cells)
        if (index.isValid() && index.row() < rows.rows() && index.column() < rows.columns())
            places.emplace_back(index.row(), index.column());
    std::sort(places.begin(), places.end());
    places.erase(std::unique(places.begin(), places.end()), places.end());
    if (places.empty())
        return QString();

    QString out;
    if (withColumnNames) {
        std::set<int> columns;
        for (const auto& place : places)
            columns.insert(place.second);
        QStringList names;
        for (int column : columns)
            names << quotedWhenNeeded(
                QString::fromStdString(rows.columnNames()[static_cast<std::size_t>(column)]), false);
        out = names.join('\t') + '\n';
    }
    const bool alone = places.size() == 1 && !withColumnNames;
    for (std::size_t i = 0; i < places.size(); ++i) {
        if (i > 0)
            out += places[i].first == places[i - 1].first ? '\t' : '\n';
        out += copiedCell(rows, places[i].first, places[i].second, null, alone);
    }
    return out;
}

}  // namespace velkin
