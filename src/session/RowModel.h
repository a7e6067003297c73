#pragma once

#include <QAbstractTableModel>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>
#include "PackedRows.h"

namespace velkin {

class Result;

/// Rows of a result for a list view. The rows are packed into blocks of bytes filled to a fixed size:
/// each row is its cells one after another, every cell its length (a varint, 0 for NULL, length + 1
/// otherwise) followed by its bytes, and each block keeps where its rows start. Display text is made
/// only when the view asks for it, so a large result costs little more memory than its bytes, and no
/// buffer is ever copied to grow.
class RowModel : public QAbstractTableModel {
    Q_OBJECT
public:
    /// A cell's bytes as the server sent them; nothing for NULL.
    using Cell = std::optional<std::string_view>;
    /// data() answers true for a NULL cell in this role, so that a view can draw it apart.
    static constexpr int NullRole = Qt::UserRole + 1;
    /// What a NULL cell shows; the empty text shows as nothing.
    static constexpr const char* kNullText = "NULL";

    explicit RowModel(QObject* parent = nullptr);

    /// New columns headed by these names, and no rows.
    void setColumns(std::vector<std::string> names);
    /// No columns and no rows.
    void clear();
    /// Keeps the columns, drops every row.
    void clearRows();

    /// Appends the result's remaining rows, at most maxRows of them, and returns how many it took.
    /// Cells beyond the columns are dropped; columns the row has no cell for are NULL.
    std::size_t appendRows(Result& result, std::size_t maxRows);
    /// Appends one row; the same rules for too many or too few cells.
    void appendRow(const std::vector<Cell>& cells);
    /// Appends rows packed elsewhere (beside the window, as they arrived) without copying them; they
    /// have as many cells as the model has columns.
    void appendBatch(PackedRows&& batch);

    int rows() const { return m_rowCount; }
    int columns() const { return static_cast<int>(m_columnNames.size()); }
    const std::vector<std::string>& columnNames() const { return m_columnNames; }

    /// The cell's bytes, or nothing for NULL and for a cell outside the model.
    Cell cell(int row, int column) const;
    bool isNull(int row, int column) const;
    /// The cell as text, as it is searched and copied; NULL gives the empty text.
    QString cellText(int row, int column) const;
    /// The cells as text to copy: row by row (top to bottom) one line each, the cells of a line
    /// left to right and separated by tabs. With more than one cell, a cell holding a tab, a line
    /// break or a leading double quote is put in double quotes (inner ones doubled), so that the
    /// lines and columns still read back; one cell alone is copied as it is.
    QString copiedText(const QModelIndexList& cells) const;
    /// The bytes of all cells as the server sent them, for measuring.
    std::size_t byteSize() const { return m_store.cellBytes(); }
    /// The memory the stored rows take: block buffers and row lists at their capacity, except the
    /// last block's room that no row has reached yet.
    std::size_t storageSize() const { return m_store.storageSize(); }
    /// The size a block of rows is given; a row larger than that gets a block of its own size.
    static constexpr std::size_t kBlockBytes = PackedRows::kBlockBytes;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    bool contains(int row, int column) const;
    /// Lets the view know of the rows stored since the last commit.
    void commitStagedRows();

    std::vector<std::string> m_columnNames;
    /// Holds the rows the view knows of and, beyond them, rows stored but not yet announced.
    PackedRows m_store;
    int m_rowCount = 0;
};

}  // namespace velkin
