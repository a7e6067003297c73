#pragma once

#include <QString>
#include <vector>

class QTableView;

namespace velkin {

/// The column widths of a list of rows (the record list, the console): a column starts at the narrowest width
/// and widens to its header and the values of the first page shown, up to the widest; what the person then
/// drags is kept, per table, for as long as the program runs.
class ColumnWidths {
public:
    static constexpr int kNarrowest = 100;
    static constexpr int kWidest = 320;

    /// Widths that fit the view's header texts and the values of its rows (the first rows only, so
    /// a long page costs no time).
    static std::vector<int> fitted(const QTableView& view);
    /// The widths kept for a table; empty when none are.
    static std::vector<int> kept(const QString& table);
    static void keep(const QString& table, std::vector<int> widths);
    /// True when the view's cell is shown narrower than its text.
    static bool isCut(const QTableView& view, int row, int column);
};

}  // namespace velkin
