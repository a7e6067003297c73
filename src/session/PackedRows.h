#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace velkin {

class Row;

/// Rows packed into blocks of bytes: each row is its cells one after another, every cell its length
/// (a varint, 0 for NULL, length + 1 otherwise) followed by its bytes, and each block keeps where its
/// rows start. A large result costs little more memory than its bytes, no buffer is ever copied to
/// grow, and rows packed on one thread are handed to another by moving their blocks.
class PackedRows {
public:
    using Cell = std::optional<std::string_view>;
    /// The size a block is given once the rows have grown; a row larger than that gets a block of its
    /// own size.
    static constexpr std::size_t kBlockBytes = std::size_t(1) << 20;

    /// width: the cells every row has. Rows packed for a hand-over start with full-size blocks; a
    /// model's own start small, so that a short answer stays small.
    explicit PackedRows(unsigned width = 0, bool fullBlocks = false)
        : m_width(width), m_fullBlocks(fullBlocks) {}

    /// No rows, and rows of this width from now on.
    void reset(unsigned width);
    unsigned width() const { return m_width; }
    int rows() const { return m_rows; }
    bool empty() const { return m_rows == 0; }
    /// The bytes of all cells as the server sent them.
    std::size_t cellBytes() const { return m_cellBytes; }
    /// The memory the rows take: blocks and row lists at their capacity, except the last block's
    /// room that no row has reached yet.
    std::size_t storageSize() const;

    /// Appends a row; cells beyond the width are dropped, missing ones are NULL.
    void add(const Row& row);
    void add(const std::vector<Cell>& cells);
    /// The cell's bytes, or nothing for NULL; row and column must be inside.
    Cell cell(int row, int column) const;

    /// Gives the last block back what no row has used, so that rows handed over before their block
    /// filled cost no more than their bytes.
    void trim();
    /// Appends other's rows after these, taking its blocks as they are. Both have the same width.
    void adopt(PackedRows&& other);

private:
    struct FreeBytes {
        void operator()(char* p) const { std::free(p); }
    };
    struct Block {
        std::unique_ptr<char, FreeBytes> bytes;
        std::size_t capacity = 0;
        std::size_t used = 0;
        /// Where each row starts in bytes.
        std::vector<std::uint32_t> rowStarts;
        /// The row of the block's first row.
        int firstRow = 0;
    };

    Block& blockFor(std::size_t rowBytes);
    template <typename CellAt>
    void addCells(unsigned available, CellAt cellAt);
    const char* rowStart(int row) const;

    unsigned m_width = 0;
    bool m_fullBlocks = false;
    std::vector<Block> m_blocks;
    std::size_t m_cellBytes = 0;
    int m_rows = 0;
};

}  // namespace velkin
