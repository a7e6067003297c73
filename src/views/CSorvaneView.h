#pragma once

#include <QTableView>
#include <array>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "Command.h"
#include "GridCopy.h"
#include "PageRead.h"
#include "RecordListText.h"
#include "ScreenDispatcher.h"
#include "SessionCommands.h"
#include "session/BackgroundWork.h"
#include "session/RowModel.h"
#include "session/Selection.h"

class QMenu;

namespace velkin {

class Connection;
class CSorvaneDoc;
class Operator;
class ViewHost;

/// Where a record list stands in its table.
struct PageState {
    int page = 0;
    int length = 100;
    /// The rows counted by the last page's count; 0 before the first count.
    int count = 0;
    bool filtered = false;
    /// The key the table is paged by and the page last shown by it.
    PageKeying keying;
};

/// The record list: one page of the rows of the table chosen when it was made (or of the filtered
/// rows), with the row count, page and timing in the status bar.
class CSorvaneView : public QTableView, public CommandTarget {
    Q_OBJECT
public:
    CSorvaneView(CSorvaneDoc& doc, Operator& op, ViewHost& host, QWidget* parent = nullptr);

    ViewKind viewKind() const override { return ViewKind::RecordList; }
    /// The table this list was made for; it stays the list's while the tree moves on.
    Selection selection() const override { return m_table; }
    CLeftView* objectTree() override;
    CSorvaneView* recordListView() override { return this; }
    ScreenDispatcher& screens() override { return m_screens; }
    SessionCommands& sessionCommands() override { return m_commands; }

    /// Refresh, then the page length from the settings.
    void initialUpdate();
    /// Lists the current page of the current table again.
    void refresh();
    void nextPage();
    void previousPage();
    /// The page setup and the filter, each in its own dialog.
    void openPageSetup();
    void openFilter();
    /// Where the list stands: page, page length, the rows counted, whether the filter is on.
    const PageState& paging() const { return m_paging; }
    /// Moves to a page of a length, as the page setup does; the next refresh reads it.
    void setPage(int page, int length) {
        m_paging.page = page;
        m_paging.length = length;
    }
    /// The filter's switch, as its dialog leaves it; the next refresh reads with or without it.
    void setFiltered(bool on) { m_paging.filtered = on; }
    /// Opens the editing screen for a row.
    void openRow(int row);
    /// Puts the selected cells on the clipboard, tab-separated, a line per row; NULL as the context
    /// menu's choice has it (nothing at first).
    void copySelection(bool withColumnNames = false);
    /// The context menu's NULL spelling for copies; kept while the program runs.
    static CopiedNull& copiedNull();
    /// The record list's context menu: the two copies and the NULL spelling.
    void fillCopyMenu(QMenu& menu);

    // What the find dialog of the main window searches.
    int rowCount() const;
    int columnCount() const;
    QString cellText(int row, int column) const;
    /// The row under track selection; -1 when none.
    int hotRow() const;
    /// Makes the row the hot row and scrolls it into view.
    void setHotRow(int row);

    RowModel& rows() { return m_model; }
    /// The statement last used to count the rows; the page setup dialog runs it again.
    const std::string& countStatement() const { return m_countStatement; }

    // The state the filter dialog reads and writes. Conditions are kept for every column of the
    // table, by position; a set may be shorter than the column list (no condition further on).
    std::vector<std::string> m_columnNames;
    std::array<std::vector<std::string>, 3> m_conditions;
    int m_columnCount = 0;
    int m_currentRow = -1;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void clearFilter();
    void readPageNow();
    void showListStyles(bool hasRows);
    /// The table's kept widths, or widths fitted to the page shown once it has rows.
    void fitColumns();
    void columnResized(int column, int width);
    void showFailure(unsigned errorNumber, const std::string& errorText);
    void showCount(const PageRead& read);
    /// The exact count of a table whose page came with the estimate.
    void countLater(Connection& connection, const PageRead& read);

    /// True when the row was changed or deleted.
    bool openRecordDetails(std::vector<std::optional<std::string>> values);

    CSorvaneDoc& m_doc;
    Operator& m_op;
    ViewHost& m_host;
    const Selection m_table;
    PageState m_paging;
    ScreenDispatcher m_screens;
    SessionCommands m_commands;
    RowModel m_model;
    std::string m_countStatement;
    /// The server's "%d:%s" when it refused the last page's statement; empty otherwise.
    QString m_refusal;
    int m_hotRow = -1;
    /// Set while the view itself sets widths, so that only the person's drags are kept.
    bool m_settingWidths = false;
    BackgroundWork m_work;
    /// Set when the list was asked for again while a page was being read.
    bool m_readAgain = false;
};

}  // namespace velkin
