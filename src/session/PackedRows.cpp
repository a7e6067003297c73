#include "PackedRows.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>
#include <utility>

#include "Connection.h"

namespace velkin {

namespace {

/// A model's first block is small so that a short answer stays small; blocks double up to full size.
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
std::uint64_t lengthCode(const PackedRows::Cell& c) {
    return c ? static_cast<std::uint64_t>(c->size()) + 1 : 0;
}

}  // namespace

void PackedRows::reset(unsigned width) {
    m_blocks.clear();
    m_cellBytes = 0;
    m_rows = 0;
    m_width = width;
}

std::size_t PackedRows::storageSize() const {
    std::size_t size = m_blocks.capacity() * sizeof(Block);
    for (const Block& b : m_blocks)
        size += b.capacity + b.rowStarts.capacity() * sizeof(std::uint32_t);
    // The last block's room beyond its rows has never been written, so its pages are not taken yet.
    if (!m_blocks.empty())
        size -= m_blocks.back().capacity - m_blocks.back().used;
    return size;
}

PackedRows::Block& PackedRows::blockFor(std::size_t rowBytes) {
    if (!m_blocks.empty()) {
        Block& last = m_blocks.back();
        if (last.capacity - last.used >= rowBytes)
            return last;
        // The block is full for good; its row list gives back what its growth left over.
        last.rowStarts.shrink_to_fit();
    }
    const std::size_t size =
        m_fullBlocks ? kBlockBytes
                     : std::min(kBlockBytes, kFirstBlockBytes << std::min<std::size_t>(m_blocks.size(), 8));
    Block block;
    block.capacity = std::max(size, rowBytes);
    // Left uninitialised: the pages are touched only as rows fill them.
    block.bytes.reset(static_cast<char*>(std::malloc(std::max<std::size_t>(block.capacity, 1))));
    if (!block.bytes)
        throw std::bad_alloc();
    block.firstRow = m_rows;
    m_blocks.push_back(std::move(block));
    return m_blocks.back();
}

template <typename CellAt>
void PackedRows::addCells(unsigned available, CellAt cellAt) {
    const unsigned present = std::min(available, m_width);
    std::size_t rowBytes = 0;
    for (unsigned i = 0; i < present; ++i) {
        const Cell c = cellAt(i);
        rowBytes += lengthCodeSize(lengthCode(c)) + (c ? c->size() : 0);
    }
    rowBytes += m_width - present;  // missing cells are NULL, one byte each

    Block& block = blockFor(rowBytes);
    char* out = block.bytes.get() + block.used;
    block.rowStarts.push_back(static_cast<std::uint32_t>(block.used));
    for (unsigned i = 0; i < m_width; ++i) {
        const Cell c = i < present ? cellAt(i) : std::nullopt;
        out = putLengthCode(out, lengthCode(c));
        if (c) {
            std::memcpy(out, c->data(), c->size());
            out += c->size();
            m_cellBytes += c->size();
        }
    }
    block.used += rowBytes;
    ++m_rows;
}

void PackedRows::add(const Row& row) {
    addCells(row.size(), [&row](unsigned i) -> Cell {
        if (row.isNull(i))
            return std::nullopt;
        return row.text(i);
    });
}

void PackedRows::add(const std::vector<Cell>& cells) {
    addCells(static_cast<unsigned>(cells.size()), [&cells](unsigned i) { return cells[i]; });
}

const char* PackedRows::rowStart(int row) const {
    // The last block whose first row is at or before the row holds it.
    auto after = std::upper_bound(m_blocks.begin(), m_blocks.end(), row,
                                  [](int r, const Block& b) { return r < b.firstRow; });
    const Block& block = *std::prev(after);
    return block.bytes.get() + block.rowStarts[static_cast<std::size_t>(row - block.firstRow)];
}

PackedRows::Cell PackedRows::cell(int row, int column) const {
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

void PackedRows::trim() {
    if (m_blocks.empty())
        return;
    Block& last = m_blocks.back();
    last.rowStarts.shrink_to_fit();
    if (last.used == last.capacity || last.used == 0)
        return;
    // Shrinking gives the pages back in place; the rows' bytes do not move when it cannot.
    if (char* shrunk = static_cast<char*>(std::realloc(last.bytes.get(), last.used))) {
        last.bytes.release();
        last.bytes.reset(shrunk);
        last.capacity = last.used;
    }
}

void PackedRows::adopt(PackedRows&& other) {
    if (other.m_rows == 0)
        return;
    trim();
    m_blocks.reserve(m_blocks.size() + other.m_blocks.size());
    for (Block& b : other.m_blocks) {
        b.firstRow += m_rows;
        m_blocks.push_back(std::move(b));
    }
    m_rows += other.m_rows;
    m_cellBytes += other.m_cellBytes;
    other.reset(other.m_width);
}

}  // namespace velkin
