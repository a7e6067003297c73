#include "RowModel.h"

#include "session/Connection.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

namespace velkin {

RowModel::RowModel(QObject* parent) : QAbstractTableModel(parent) {}

void RowModel::setColumns(std::vector<std::string> names) {
    beginResetModel();
    m_store.reset(static_cast<unsigned>(names.size()));
    m_rowCount = 0;
    m_columnNames = std::move(names);
    endResetModel();
}

void RowModel::clear() {
    setColumns({});
}

void RowModel::clearRows() {
    if (m_store.empty())
        return;
    beginResetModel();
    m_store.reset(m_store.width());
    m_rowCount = 0;
    endResetModel();
}

void RowModel::commitStagedRows() {
    const int staged = m_store.rows() - m_rowCount;
    if (staged == 0)
        return;
    // The cells are already stored beyond the rows the view knows of; announcing them only now keeps
    // one insertion per batch without knowing the batch's size in advance.
    beginInsertRows(QModelIndex(), m_rowCount, m_rowCount + staged - 1);
    m_rowCount += staged;
    endInsertRows();
}

std::size_t RowModel::appendRows(Result& result, std::size_t maxRows) {
    std::size_t taken = 0;
    while (taken < maxRows) {
        Row row = result.fetchRow();
        if (!row)
            break;
        m_store.add(row);
        ++taken;
    }
    commitStagedRows();
    return taken;
}

void RowModel::appendRow(const std::vector<Cell>& cells) {
    m_store.add(cells);
    commitStagedRows();
}

void RowModel::appendBatch(PackedRows&& batch) {
    if (batch.empty())
        return;
    commitStagedRows();
    beginInsertRows(QModelIndex(), m_rowCount, m_rowCount + batch.rows() - 1);
    m_store.adopt(std::move(batch));
    m_rowCount = m_store.rows();
    endInsertRows();
}

bool RowModel::contains(int row, int column) const {
    return row >= 0 && row < m_rowCount && column >= 0 && column < columns();
}

RowModel::Cell RowModel::cell(int row, int column) const {
    if (!contains(row, column))
        return std::nullopt;
    return m_store.cell(row, column);
}

bool RowModel::isNull(int row, int column) const {
    return contains(row, column) && !cell(row, column);
}

QString RowModel::cellText(int row, int column) const {
    Cell c = cell(row, column);
    if (!c)
        return QString();
    return QString::fromUtf8(c->data(), static_cast<qsizetype>(c->size()));
}

QString RowModel::copiedText(const QModelIndexList& cells) const {
    std::vector<std::pair<int, int>> places;
    for (const QModelIndex& index : cells)
        if (index.isValid() && index.model() == this && contains(index.row(), index.column()))
            places.emplace_back(index.row(), index.column());
    std::sort(places.begin(), places.end());
    places.erase(std::unique(places.begin(), places.end()), places.end());
    if (places.size() == 1)
        return cellText(places[0].first, places[0].second);
    auto field = [](QString text) {
        if (!text.contains('\t') && !text.contains('\n') && !text.contains('\r') && !text.startsWith('"'))
            return text;
        text.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        return '"' + text + '"';
    };
    QString out;
    for (std::size_t i = 0; i < places.size(); ++i) {
        if (i > 0)
            out += places[i].first == places[i - 1].first ? '\t' : '\n';
        out += field(cellText(places[i].first, places[i].second));
    }
    return out;
}

int RowModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rowCount;
}

int RowModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns();
}

QVariant RowModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !contains(index.row(), index.column()))
        return {};
    switch (role) {
        case Qt::DisplayRole:
            if (isNull(index.row(), index.column()))
                return QString::fromLatin1(kNullText);
            return cellText(index.row(), index.column());
        case NullRole:
            return isNull(index.row(), index.column());
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        default:
            return {};
    }
}

QVariant RowModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (section < 0 || section >= columns())
        return {};
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(m_columnNames[static_cast<std::size_t>(section)]);
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        default:
            return {};
    }
}

}  // namespace velkin
