#include "CSorvaneView.h"

#include "FilterDialog.h"
#include "PageRead.h"
#include "PageSetupDialog.h"
#include "RecordDetailsDialog.h"
#include "monitor/DataAmountDialog.h"
#include "session/Operator.h"
#include "widgets/ColumnWidths.h"

#include <QActionGroup>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <algorithm>
#include <climits>
#include <cstdlib>

#include "ViewHost.h"
#include "session/CSorvaneDoc.h"
#include "session/Connection.h"
#include "session/Settings.h"
#include "session/SqlText.h"
#include "session/StatusPanes.h"

namespace velkin {

namespace {

constexpr unsigned int kGrantReload = 1;  // REFRESH_GRANT

/// Underlines the hot row, as a list with track selection does.
class HotRowDelegate : public QStyledItemDelegate {
public:
    explicit HotRowDelegate(CSorvaneView& view) : QStyledItemDelegate(&view), m_view(view) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.row() == m_view.hotRow())
            option->font.setUnderline(true);
        if (index.data(RowModel::NullRole).toBool())
            option->palette.setColor(QPalette::Text, QColor(Qt::gray));
    }

private:
    CSorvaneView& m_view;
};

int countValue(const std::string& text) {
    long long n = std::strtoll(text.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long long>(n, INT_MIN, INT_MAX));
}

}  // namespace

CSorvaneView::CSorvaneView(CSorvaneDoc& doc, Operator& op, ViewHost& host, QWidget* parent)
    : QTableView(parent),
      m_doc(doc),
      m_op(op),
      m_host(host),
      m_table(doc.selection()),
      m_screens(doc, op, this),
      m_commands(doc, op, m_screens) {
    setObjectName(QStringLiteral("CSorvaneView"));
    setModel(&m_model);
    setItemDelegate(new HotRowDelegate(*this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    // Several rows may be selected for copying; a plain click still selects one.
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setShowGrid(false);
    setWordWrap(false);
    setMouseTracking(true);
    verticalHeader()->hide();
    // Report-list rows: one line of text each, as dense as the tree beside it.
    verticalHeader()->setMinimumSectionSize(fontMetrics().height() + 2);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setDefaultSectionSize(ColumnWidths::kNarrowest);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) {
                if (current.isValid())
                    m_currentRow = current.row();
            });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int width) { columnResized(column, width); });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { openRow(index.row()); });
}

void CSorvaneView::initialUpdate() {
    m_paging.length = Settings().pageLength();
    refresh();
}

CLeftView* CSorvaneView::objectTree() {
    return m_host.objectTree();
}

void CSorvaneView::clearFilter() {
    for (auto& set : m_conditions)
        set.clear();
    m_columnNames.clear();
    m_columnCount = 0;
}

void CSorvaneView::showListStyles(bool hasRows) {
    // Grid lines on an empty list would look like rows.
    setShowGrid(hasRows);
}

void CSorvaneView::refresh() {
    if (m_work.running()) {
        // Another table or page is wanted while one is read: that read is stopped, its rows dropped,
        // and the list read again for what is wanted now.
        m_readAgain = true;
        m_work.stop();
        return;
    }
    do {
        m_readAgain = false;
        readPageNow();
    } while (m_readAgain);
}

void CSorvaneView::readPageNow() {
    m_refusal.clear();
    m_model.clear();
    showListStyles(false);
    m_hotRow = -1;
    m_currentRow = -1;
    if (m_table.node != NodeKind::Table) {
        m_host.statusPanes().setPaneText(kRecordPane, QString());
        return;
    }
    Connection* connection = m_doc.connection();
    if (!connection)
        return;
    if (!m_paging.filtered)
        clearFilter();
    PageRequest request{u8(m_table.database), u8(m_table.table), m_conditions,   m_paging.filtered,
                        m_paging.page,        m_paging.length,   m_paging.keying};
    PageRead read;
    // The page is read beside the window, which keeps answering; a slow one can be stopped from the
    // status bar.
    m_host.statusPanes().showWork(&m_work, listReadingText(request.database, request.table));
    m_work.run({connection}, [&](WorkControl&) { read = readPage(*connection, request); });
    m_host.statusPanes().showWork(nullptr, QString());
    if (m_readAgain)
        return;
    if (read.end == PageRead::End::NoColumns) {
        showFailure(read.errorNumber, read.errorText);
        return;
    }
    m_paging.keying = std::move(read.keying);
    m_columnNames = read.columns;
    m_columnCount = static_cast<int>(m_columnNames.size());
    m_conditions = read.conditions;
    m_model.setColumns(m_columnNames);
    // A condition the server rejects leaves the list with its columns and no rows; the status bar
    // keeps describing the last page that could be shown.
    if (read.end != PageRead::End::Done) {
        if (read.end == PageRead::End::Refused)
            m_refusal = serverMessage(read.errorNumber, read.errorText);
        showFailure(read.errorNumber, read.errorText);
        return;
    }
    const bool hasRows = !read.rows.empty();
    m_model.appendBatch(std::move(read.rows));
    showListStyles(hasRows);
    fitColumns();
    showCount(read);
    if (read.countLater)
        countLater(*connection, read);
}

void CSorvaneView::fitColumns() {
    const QString table = m_table.database + QLatin1Char('.') + m_table.table;
    std::vector<int> widths = ColumnWidths::kept(table);
    if (static_cast<int>(widths.size()) != m_model.columns()) {
        widths = ColumnWidths::fitted(*this);
        // Widths fitted to the headers alone would keep the first page's values cut later on.
        if (m_model.rows() > 0)
            ColumnWidths::keep(table, widths);
    }
    m_settingWidths = true;
    for (int column = 0; column < static_cast<int>(widths.size()); ++column)
        setColumnWidth(column, widths[column]);
    m_settingWidths = false;
}

void CSorvaneView::columnResized(int column, int width) {
    if (m_settingWidths || m_table.table.isEmpty())
        return;
    const QString table = m_table.database + QLatin1Char('.') + m_table.table;
    std::vector<int> widths = ColumnWidths::kept(table);
    if (static_cast<int>(widths.size()) != m_model.columns())
        widths = ColumnWidths::fitted(*this);
    if (column >= static_cast<int>(widths.size()))
        return;
    widths[column] = width;
    ColumnWidths::keep(table, std::move(widths));
}

bool CSorvaneView::viewportEvent(QEvent* event) {
    // A value cut by its column is shown whole while the pointer rests on it.
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        if (index.isValid() && ColumnWidths::isCut(*this, index.row(), index.column()))
            QToolTip::showText(help->globalPos(), m_model.cellText(index.row(), index.column()).left(4000),
                               viewport(), visualRect(index));
        else
            QToolTip::hideText();
        return true;
    }
    return QTableView::viewportEvent(event);
}

void CSorvaneView::showFailure(unsigned errorNumber, const std::string& errorText) {
    // An empty list alone would look like an empty table (a table lock hides every other table
    // this way), so the record pane says why there are no rows.
    if (errorNumber == 0)
        return;
    m_host.statusPanes().setPaneText(
        kRecordPane, listFailureText(u8(m_table.database), u8(m_table.table), errorNumber, errorText));
}

void CSorvaneView::showCount(const PageRead& read) {
    m_countStatement = read.statements.count;
    std::string countText;
    if (read.count) {
        countText = *read.count;
        m_paging.count = countValue(countText);
    } else if (read.countLater && m_paging.keying.estimate) {
        // Until the exact count arrives, the estimate says how far the pages go.
        countText = estimateText(*m_paging.keying.estimate);
        m_paging.count = countValue(std::to_string(*m_paging.keying.estimate));
    } else {
        // Without a count there is nothing true to report, so the status bar keeps its texts.
        return;
    }
    StatusPanes& panes = m_host.statusPanes();
    panes.setPaneText(kRecordPane, recordStatusText(countText, u8(m_table.database), u8(m_table.table),
                                                    m_paging.page, read.statements.filtered));
    panes.setPaneText(3, referenceTimeText(static_cast<unsigned long>(read.resultTime - read.start),
                                           static_cast<unsigned long>(read.done - read.start)));
}

void CSorvaneView::countLater(Connection& connection, const PageRead& read) {
    // The page is on screen already; the exact count of a big table follows beside the window and
    // may be stopped, which leaves the estimate standing.
    PageKeying learned = m_paging.keying;
    std::optional<std::string> exact;
    const std::string statement = read.statements.count;
    m_host.statusPanes().showWork(&m_work, listCountingText(u8(m_table.database), u8(m_table.table)));
    m_work.run({&connection}, [&](WorkControl&) { exact = countRows(connection, statement, learned); });
    m_host.statusPanes().showWork(nullptr, QString());
    if (m_readAgain || !exact)
        return;
    m_paging.keying.count = learned.count;
    m_paging.keying.countConditions = learned.countConditions;
    m_paging.count = countValue(*exact);
    m_host.statusPanes().setPaneText(
        kRecordPane, recordStatusText(*exact, u8(m_table.database), u8(m_table.table), m_paging.page,
                                      read.statements.filtered));
}

void CSorvaneView::hideEvent(QHideEvent* event) {
    // A list the tree has replaced reads and counts for nobody; the next list wants the connection.
    if (!event->spontaneous() && m_work.running())
        m_work.stop();
    QTableView::hideEvent(event);
}

void CSorvaneView::nextPage() {
    m_paging.page = nextPageIndex(m_paging.count, m_paging.page, m_paging.length);
    refresh();
}

void CSorvaneView::previousPage() {
    if (std::optional<int> page = previousPageIndex(m_paging.page)) {
        m_paging.page = *page;
        refresh();
    }
}

void CSorvaneView::openRow(int row) {
    if (row < 0 || row >= m_model.rows())
        return;
    const std::string database = u8(m_table.database), table = u8(m_table.table);
    switch (rowEditorFor(database, table)) {
        case RowEditor::UserEditor: {
            const QString host = cellText(row, 0), user = cellText(row, 1), password = cellText(row, 2);
            if (!userRowOpens(host, user, password))
                return;
            m_screens.openUserEditor(host, user, password);
            refresh();
            if (Connection* connection = m_doc.connection())
                connection->refresh(kGrantReload);
            return;
        }
        case RowEditor::DbEditor:
            m_screens.openDbEditor(cellText(row, 0), cellText(row, 1), cellText(row, 2));
            refresh();
            return;
        case RowEditor::HostEditor:
            m_screens.openHostEditor(cellText(row, 0), cellText(row, 1));
            refresh();
            return;
        case RowEditor::RecordDetails: {
            if (database.empty() || table.empty())
                return;
            std::vector<std::optional<std::string>> values;
            for (int column = 0; column < std::min(m_columnCount, m_model.columns()); ++column) {
                RowModel::Cell cell = m_model.cell(row, column);
                values.push_back(cell ? std::optional<std::string>(std::string(*cell)) : std::nullopt);
            }
            if (openRecordDetails(std::move(values)))
                refresh();
            return;
        }
    }
}

CopiedNull& CSorvaneView::copiedNull() {
    static CopiedNull spelling = CopiedNull::Empty;
    return spelling;
}

void CSorvaneView::copySelection(bool withColumnNames) {
    QModelIndexList cells = selectionModel()->selectedIndexes();
    if (cells.isEmpty() && currentIndex().isValid())
        cells << currentIndex();
    if (cells.isEmpty())
        return;
    QGuiApplication::clipboard()->setText(gridCopyText(m_model, cells, withColumnNames, copiedNull()));
}

void CSorvaneView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    fillCopyMenu(menu);
    menu.exec(event->globalPos());
}

void CSorvaneView::fillCopyMenu(QMenu& menu) {
    menu.setObjectName(QStringLiteral("copy menu"));
    menu.addAction(QStringLiteral("Copy"), this, [this] { copySelection(false); });
    menu.addAction(QStringLiteral("Copy with column names"), this, [this] { copySelection(true); });
    menu.addSeparator();
    auto* spellings = new QActionGroup(&menu);
    const std::pair<const char*, CopiedNull> choices[] = {{"NULL copied as empty", CopiedNull::Empty},
                                                          {"NULL copied as NULL", CopiedNull::Word}};
    for (const auto& [label, spelling] : choices) {
        QAction* choice = menu.addAction(QString::fromUtf8(label));
        choice->setCheckable(true);
        choice->setChecked(copiedNull() == spelling);
        spellings->addAction(choice);
        const CopiedNull chosen = spelling;
        connect(choice, &QAction::triggered, this, [chosen] { copiedNull() = chosen; });
    }
}

void CSorvaneView::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Copy) {
        copySelection();
        event->accept();
        return;
    }
    const bool accelerator = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    switch (event->key()) {
        case Qt::Key_Right:
            nextPage();
            break;
        case Qt::Key_Left:
            previousPage();
            break;
        case Qt::Key_P:
            if (!accelerator)
                openPageSetup();
            break;
        case Qt::Key_F1:
            openPageSetup();
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            openRow(m_currentRow);
            break;
        default:
            break;
    }
    QTableView::keyPressEvent(event);
}

void CSorvaneView::mouseMoveEvent(QMouseEvent* event) {
    const int row = rowAt(event->position().toPoint().y());
    if (row >= 0 && row != m_hotRow)
        setHotRow(row);
    QTableView::mouseMoveEvent(event);
}

int CSorvaneView::rowCount() const {
    return m_model.rows();
}

int CSorvaneView::columnCount() const {
    return m_model.columns();
}

QString CSorvaneView::cellText(int row, int column) const {
    return m_model.cellText(row, column);
}

int CSorvaneView::hotRow() const {
    return m_hotRow;
}

void CSorvaneView::setHotRow(int row) {
    if (row < 0 || row >= m_model.rows())
        return;
    m_hotRow = row;
    const QModelIndex index = m_model.index(row, 0);
    // The row under the pointer is the one selected, whatever keys are held: passing over rows with
    // Ctrl down must not toggle each of them.
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
    viewport()->update();
}

void CSorvaneView::openPageSetup() {
    if (m_paging.count == 0 || !m_table.hasTable())
        return;
    Connection* connection = m_doc.connection();
    if (!connection)
        return;
    PageSetupDialog dialog(*connection, m_op, m_paging.page, m_paging.length, m_countStatement, this);
    if (m_op.runModal(dialog) == QDialog::Accepted) {
        setPage(dialog.page(), dialog.pageLength());
        refresh();
    }
    Settings().setPageLength(m_paging.length);
}

void CSorvaneView::openFilter() {
    if (!m_table.hasTable())
        return;
    Connection* connection = m_doc.connection();
    if (!connection)
        return;
    // A refused condition brings the dialog back with what was typed, so the person can mend it
    // after reading the server's whole answer.
    for (;;) {
        FilterDialog dialog(*connection, u8(m_table.database), u8(m_table.table), m_conditions, this);
        if (m_op.runModal(dialog) != QDialog::Accepted)
            return;
        m_paging.filtered = true;
        m_conditions = dialog.conditions();
        refresh();
        if (m_refusal.isEmpty())
            return;
        m_op.inform(filterRefusedText(m_refusal), QStringLiteral("Filter"), MessageIcon::Warning);
    }
}

bool CSorvaneView::openRecordDetails(std::vector<std::optional<std::string>> values) {
    Connection* connection = m_doc.connection();
    if (!connection)
        return false;
    const QString database = m_table.database, table = m_table.table;
    RecordDetailsDialog dialog(*connection, m_op, u8(database), u8(table), std::move(values), this);
    dialog.setDataAmountOpener([this, connection, database, table, &dialog] {
        DataAmountDialog amount(*connection, m_op, database, table, &dialog);
        m_op.runModal(amount);
    });
    // A change counts however the dialog was closed (Escape, the close box): the list must not go
    // on showing the row as it was.
    const bool accepted = m_op.runModal(dialog) == QDialog::Accepted;
    return accepted || dialog.changed();
}

}  // namespace velkin
