#include "RowModel.h"

#include "session/Connection.h"

#include <algorithm>
#include <utility>

namespace velkin {

RowModel::RowModel(QObject* parent) : QAbstractTableModel(parent) {}

void RowModel::dropStorage() {
    m_bytes.clear();
    m_ends.clear();
    m_null.clear();
    m_rowCount = 0;
    m_stagedRows = 0;
}

void RowModel::setColumns(std::vector<std::string> names) {
    beginResetModel();
    dropStorage();
    m_columnNames = std::move(names);
    endResetModel();
}

void RowModel::clear() {
    setColumns({});
}

void RowModel::clearRows() {
    if (m_rowCount == 0 && m_stagedRows == 0)
        return;
    beginResetModel();
    dropStorage();
    endResetModel();
}

template <typename CellAt>
void RowModel::stageRow(unsigned available, CellAt cellAt) {
    const unsigned width = static_cast<unsigned>(m_columnNames.size());
    for (unsigned i = 0; i < width; ++i) {
        Cell c = i < available ? cellAt(i) : std::nullopt;
        if (c)
            m_bytes.append(c->data(), c->size());
        m_ends.push_back(m_bytes.size());
        m_null.push_back(!c.has_value());
    }
    ++m_stagedRows;
}

void RowModel::commitStagedRows() {
    if (m_stagedRows == 0)
        return;
    // The cells are already stored beyond the rows the view knows of; announcing them only now keeps
    // one insertion per batch without knowing the batch's size in advance.
    beginInsertRows(QModelIndex(), m_rowCount, m_rowCount + m_stagedRows - 1);
    m_rowCount += m_stagedRows;
    m_stagedRows = 0;
    endInsertRows();
}

std::size_t RowModel::appendRows(Result& result, std::size_t maxRows) {
    std::size_t taken = 0;
    while (taken < maxRows) {
        Row row = result.fetchRow();
        if (!row)
            break;
        stageRow(row.size(), [&row](unsigned i) -> Cell {
            if (row.isNull(i))
                return std::nullopt;
            return row.text(i);
        });
        ++taken;
    }
    commitStagedRows();
    return taken;
}

void RowModel::appendRow(const std::vector<Cell>& cells) {
    stageRow(static_cast<unsigned>(cells.size()), [&cells](unsigned i) { return cells[i]; });
    commitStagedRows();
}

bool RowModel::contains(int row, int column) const {
    return row >= 0 && row < m_rowCount && column >= 0 && column < columns();
}

std::size_t RowModel::cellIndex(int row, int column) const {
    return static_cast<std::size_t>(row) * m_columnNames.size() + static_cast<std::size_t>(column);
}

RowModel::Cell RowModel::cell(int row, int column) const {
    if (!contains(row, column))
        return std::nullopt;
    const std::size_t i = cellIndex(row, column);
    if (m_null[i])
        return std::nullopt;
    const std::uint64_t begin = i == 0 ? 0 : m_ends[i - 1];
    return std::string_view(m_bytes.data() + begin, m_ends[i] - begin);
}

bool RowModel::isNull(int row, int column) const {
    return contains(row, column) && m_null[cellIndex(row, column)];
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
