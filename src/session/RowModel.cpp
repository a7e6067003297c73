#include "RowModel.h"

#include "session/Connection.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

namespace velkin {

namespace {

/// The first block is small so that a short answer stays small; blocks double up to the full size.
constexpr std::size_t kFirstBlockBytes = std::size_t(1) << 16;

std::size_t lengthCodeSize(std::uint64_t code) {
    std::size_t size = 1;
    while (code >= 0x80) {
        code >>= 7;
        ++size;
    }
    return size;
}

char* putLengthCode(char* out, std::uint64_t code) {
    while (code >= 0x80) {
        *out++ = static_cast<char>((code & 0x7f) | 0x80);
        code >>= 7;
    }
    *out++ = static_cast<char>(code);
    return out;
}

const char* takeLengthCode(const char* in, std::uint64_t& code) {
    code = 0;
    for (unsigned shift = 0;; shift += 7) {
        const auto byte = static_cast<unsigned char>(*in++);
        code |= static_cast<std::uint64_t>(byte & 0x7f) << shift;
        if (!(byte & 0x80))
            return in;
    }
}

/// A cell's length code: 0 for NULL, the length plus one otherwise.
std::uint64_t lengthCode(const RowModel::Cell& c) {
    return c ? static_cast<std::uint64_t>(c->size()) + 1 : 0;
}

}  // namespace

RowModel::RowModel(QObject* parent) : QAbstractTableModel(parent) {}

void RowModel::dropStorage() {
    m_blocks.clear();
    m_cellBytes = 0;
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

RowModel::Block& RowModel::blockFor(std::size_t rowBytes) {
    if (!m_blocks.empty()) {
        Block& last = m_blocks.back();
        if (last.capacity - last.used >= rowBytes)
            return last;
        // The block is full for good; its row list gives back what its growth left over.
        last.rowStarts.shrink_to_fit();
    }
    const std::size_t size =
        std::min(kBlockBytes, kFirstBlockBytes << std::min<std::size_t>(m_blocks.size(), 8));
    Block block;
    block.capacity = std::max(size, rowBytes);
    // Left uninitialised: the pages are touched only as rows fill them.
    block.bytes.reset(new char[block.capacity]);
    block.firstRow = m_rowCount + m_stagedRows;
    m_blocks.push_back(std::move(block));
    return m_blocks.back();
}

template <typename CellAt>
void RowModel::stageRow(unsigned available, CellAt cellAt) {
    const unsigned width = static_cast<unsigned>(m_columnNames.size());
    const unsigned present = std::min(available, width);
    std::size_t rowBytes = 0;
    for (unsigned i = 0; i < present; ++i) {
        const Cell c = cellAt(i);
        rowBytes += lengthCodeSize(lengthCode(c)) + (c ? c->size() : 0);
    }
    rowBytes += width - present;  // missing cells are NULL, one byte each

    Block& block = blockFor(rowBytes);
    char* out = block.bytes.get() + block.used;
    block.rowStarts.push_back(static_cast<std::uint32_t>(block.used));
    for (unsigned i = 0; i < width; ++i) {
        const Cell c = i < present ? cellAt(i) : std::nullopt;
        out = putLengthCode(out, lengthCode(c));
        if (c) {
            std::memcpy(out, c->data(), c->size());
            out += c->size();
            m_cellBytes += c->size();
        }
    }
    block.used += rowBytes;
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

const char* RowModel::rowStart(int row) const {
    // The last block whose first row is at or before the row holds it.
    auto after = std::upper_bound(m_blocks.begin(), m_blocks.end(), row,
                                  [](int r, const Block& b) { return r < b.firstRow; });
    const Block& block = *std::prev(after);
    return block.bytes.get() + block.rowStarts[static_cast<std::size_t>(row - block.firstRow)];
}

RowModel::Cell RowModel::cell(int row, int column) const {
    if (!contains(row, column))
        return std::nullopt;
    const char* at = rowStart(row);
    for (int i = 0;; ++i) {
        std::uint64_t code = 0;
        at = takeLengthCode(at, code);
        const std::size_t size = code == 0 ? 0 : static_cast<std::size_t>(code - 1);
        if (i == column) {
            if (code == 0)
                return std::nullopt;
            return std::string_view(at, size);
        }
        at += size;
    }
}

bool RowModel::isNull(int row, int column) const {
    return contains(row, column) && !cell(row, column);
}

std::size_t RowModel::storageSize() const {
    std::size_t size = m_blocks.capacity() * sizeof(Block);
    for (const Block& b : m_blocks)
        size += b.capacity + b.rowStarts.capacity() * sizeof(std::uint32_t);
    // The last block's room beyond its rows has never been written, so its pages are not taken yet.
    if (!m_blocks.empty())
        size -= m_blocks.back().capacity - m_blocks.back().used;
    return size;
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
