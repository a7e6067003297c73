#include "SqlConsoleDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QCompleter>
#include <QDir>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>
#include <limits>
#include <memory>

#include "ConsoleNames.h"
#include "ConsoleRun.h"
#include "CsvExportDialog.h"
#include "ErrorTextConversion.h"
#include "ReadStatement.h"
#include "SqlHighlighter.h"
#include "StatementHistory.h"
#include "TransferMessages.h"
#include "WorkButtons.h"
#include "session/ColumnList.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/RowModel.h"
#include "session/Settings.h"
#include "session/SqlText.h"
#include "widgets/ColumnWidths.h"
#include "widgets/Kit.h"
#include "widgets/Pictures.h"
#include "widgets/WorkProgress.h"

namespace velkin {

namespace {

const QString kSection = QStringLiteral("SQLDLG");
const QString kScriptFilter = QStringLiteral("SQLスクリプト (*.sql)");
constexpr int kColumnWidth = 100;
constexpr int kDefaultFontHeight = 18;

int depthOf(const QTreeWidgetItem* node) {
    int depth = 0;
    for (const QTreeWidgetItem* p = node->parent(); p; p = p->parent())
        ++depth;
    return depth;
}

/// Draws a NULL cell's "NULL" grey, so that it reads apart from a text that says NULL.
class NullCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.data(RowModel::NullRole).toBool())
            option->palette.setColor(QPalette::Text, QColor(Qt::gray));
    }
};

}  // namespace

SqlConsoleDialog::SqlConsoleDialog(Connection& connection, Operator& op, QWidget* parent)
    : QDialog(parent), m_connection(connection), m_op(op) {
    setWindowTitle(QStringLiteral("SQL Issue"));
    buildScreen();
    buildCompletion();
    const QString folder = Settings().folder();
    QDir().mkpath(folder);
    m_history = std::make_unique<StatementHistory>(u8(folder + QStringLiteral("/console-history")));
    if (!fillDatabases())
        return;
    applyRememberedFont();
    m_treeReacts = true;
    m_query->setFocus();
}

SqlConsoleDialog::~SqlConsoleDialog() = default;

QString SqlConsoleDialog::scriptFilter() {
    return kScriptFilter;
}

void SqlConsoleDialog::buildScreen() {
    auto* queryLabel = new QLabel(QStringLiteral("Query"), this);
    m_scriptFile = namedLineEdit(QStringLiteral("script file"), this, FieldMode::ReadOnly);
    m_query = new QPlainTextEdit(this);
    m_query->setObjectName(QStringLiteral("Query"));
    m_query->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_query->setToolTip(
        QStringLiteral("Ctrl+Enter runs the statement at the cursor, Ctrl+Shift+Enter the whole "
                       "text; Ctrl+Up and Ctrl+Down recall earlier statements (those holding the "
                       "text typed, when there is one)"));
    m_query->installEventFilter(this);
    new SqlHighlighter(m_query->document(),
                       [this](const QString& word) { return m_connection.dialect().isReserved(u8(word)); });

    auto* treeLabel = new QLabel(QStringLiteral("Database"), this);
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("Database"));
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setSortingEnabled(true);
    m_tree->sortByColumn(0, Qt::AscendingOrder);
    m_tree->setIconSize(QSize(16, 16));

    auto* execution = namedButton(QStringLiteral("Execution"), this);
    execution->setDefault(true);
    auto* cancel = namedButton(QStringLiteral("Cancel"), this);
    auto* loadButton = namedButton(QStringLiteral("Load"), this);
    auto* runFileButton = namedButton(QStringLiteral("Run file"), this);
    runFileButton->setToolTip(
        QStringLiteral("Runs a script or dump file statement by statement, as it stands"));
    auto* saveAsButton = namedButton(QStringLiteral("Save as"), this);
    auto* saveButton = namedButton(QStringLiteral("Save"), this);
    auto* csvButton = namedButton(QStringLiteral("CSV Export"), this);
    auto* fontButton = namedButton(QStringLiteral("Font"), this);

    m_progress = new WorkProgress(this);
    m_progress->hide();
    m_progressTimer = new QTimer(this);
    connect(m_progressTimer, &QTimer::timeout, this, &SqlConsoleDialog::paintProgress);

    auto* statusLabel = new QLabel(QStringLiteral("Execution result"), this);
    m_status = namedLineEdit(QStringLiteral("Execution result"), this, FieldMode::ReadOnly);

    m_rows = new RowModel(this);
    m_receiving = m_rows;
    m_resultTabs = new QTabBar(this);
    m_resultTabs->setObjectName(QStringLiteral("Results"));
    m_resultTabs->setExpanding(false);
    m_resultTabs->setElideMode(Qt::ElideRight);
    m_resultTabs->setUsesScrollButtons(true);
    m_resultTabs->hide();
    m_list = new QTableView(this);
    m_list->setObjectName(QStringLiteral("result list"));
    m_list->setModel(m_rows);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 6);
    m_list->horizontalHeader()->setDefaultSectionSize(kColumnWidth);
    m_list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_list->setShowGrid(false);
    m_list->setWordWrap(false);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setItemDelegate(new NullCellDelegate(m_list));
    m_list->installEventFilter(this);

    auto* arrivalLabel =
        new QLabel(QStringLiteral("Time until data reaches a client from Query issue"), this);
    m_arrivalTime = namedLineEdit(arrivalLabel->text(), this, FieldMode::ReadOnly);
    auto* displayLabel =
        new QLabel(QStringLiteral("Time until it displays data altogether from Query issue"), this);
    m_displayTime = namedLineEdit(displayLabel->text(), this, FieldMode::ReadOnly);

    auto* queryTop = new QHBoxLayout;
    queryTop->addWidget(queryLabel);
    queryTop->addWidget(m_scriptFile, 1);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b :
         {execution, cancel, loadButton, runFileButton, saveAsButton, saveButton, csvButton, fontButton})
        buttons->addWidget(b);
    buttons->addStretch(1);

    auto* top = new QGridLayout;
    top->addLayout(queryTop, 0, 0);
    top->addWidget(treeLabel, 0, 1);
    top->addWidget(m_query, 1, 0);
    top->addWidget(m_tree, 1, 1);
    top->addLayout(buttons, 0, 2, 2, 1);
    top->setColumnStretch(0, 3);
    top->setColumnStretch(1, 1);

    auto* status = new QHBoxLayout;
    status->addWidget(statusLabel);
    status->addWidget(m_status, 1);
    auto* times = new QGridLayout;
    times->addWidget(arrivalLabel, 0, 0);
    times->addWidget(m_arrivalTime, 0, 1);
    times->addWidget(displayLabel, 1, 0);
    times->addWidget(m_displayTime, 1, 1);

    auto* limitLabel = new QLabel(QStringLiteral("Result limit (MB)"), this);
    m_resultLimit = new QSpinBox(this);
    m_resultLimit->setObjectName(limitLabel->text());
    m_resultLimit->setRange(1, 1024 * 1024);
    m_resultLimit->setValue(Settings().consoleResultLimit());
    m_resultLimit->setToolTip(
        QStringLiteral("The cells of a result beyond this are read and dropped, and the whole result is "
                       "offered as a CSV file."));
    connect(m_resultLimit, &QSpinBox::valueChanged, this,
            [](int megabytes) { Settings().setConsoleResultLimit(megabytes); });
    times->addWidget(limitLabel, 2, 0);
    times->addWidget(m_resultLimit, 2, 1, Qt::AlignLeft);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 2);
    layout->addLayout(status);
    layout->addWidget(m_progress);
    layout->addWidget(m_resultTabs);
    layout->addWidget(m_list, 3);
    layout->addLayout(times);
    resize(760, 600);

    connect(execution, &QPushButton::clicked, this, &SqlConsoleDialog::execute);
    // While statements run, Cancel stops them; nothing that would send on the connection is clickable.
    bindStopButton(m_work, cancel, [this] { reject(); }, {execution, runFileButton, csvButton, m_tree});
    connect(loadButton, &QPushButton::clicked, this, &SqlConsoleDialog::load);
    connect(runFileButton, &QPushButton::clicked, this, &SqlConsoleDialog::runFile);
    connect(saveAsButton, &QPushButton::clicked, this, &SqlConsoleDialog::saveAs);
    connect(saveButton, &QPushButton::clicked, this, &SqlConsoleDialog::save);
    connect(csvButton, &QPushButton::clicked, this, &SqlConsoleDialog::exportCsv);
    connect(fontButton, &QPushButton::clicked, this, &SqlConsoleDialog::chooseFont);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, &SqlConsoleDialog::reactToSelection);
    // Typing ends a walk through the history; the next walk starts from the new text.
    connect(m_query, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_recalling)
            m_recallAt = -1;
    });
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, &SqlConsoleDialog::insertName);
    connect(m_resultTabs, &QTabBar::currentChanged, this, &SqlConsoleDialog::showResult);
}

bool SqlConsoleDialog::fillDatabases() {
    auto* root = new QTreeWidgetItem(m_tree, QStringList{QStringLiteral("Database")});
    root->setIcon(0, databaseNodePicture());
    Result dbs = m_connection.listDbs();
    if (!dbs) {
        m_op.inform(qs(m_connection.errorText()));
        return false;
    }
    const QIcon picture = databaseNodePicture();
    std::vector<std::string> names;
    while (Row row = dbs.fetchRow()) {
        auto* node = new QTreeWidgetItem(root, QStringList{qs(row.text(0))});
        node->setIcon(0, picture);
        names.push_back(row.str(0));
    }
    // The completion starts from the same list.
    m_names->setDatabases(std::move(names));
    root->setExpanded(true);
    m_tree->setCurrentItem(root);
    return true;
}

void SqlConsoleDialog::applyRememberedFont() {
    Settings settings;
    const QFont stock = QApplication::font();
    int height = settings.readInt(kSection, QStringLiteral("lfHeight"), kDefaultFontHeight);
    const QString face = settings.readText(kSection, QStringLiteral("lfFaceName"), stock.family());
    const int weight = settings.readInt(kSection, QStringLiteral("lfWeight"), stock.weight());
    height = settings.readInt(kSection, QStringLiteral("lfHeight"), height);
    m_fontWidth = settings.readInt(kSection, QStringLiteral("lfWidth"), 0);

    QFont font(stock);
    font.setFamily(face);
    // A negative height names the character height, a positive one the cell; both are pixels here.
    if (height != 0)
        font.setPixelSize(std::abs(height));
    font.setWeight(static_cast<QFont::Weight>(std::clamp(weight <= 0 ? 400 : weight, 1, 1000)));
    if (m_fontWidth > 0) {
        const int average = QFontMetrics(font).averageCharWidth();
        if (average > 0)
            font.setStretch(std::clamp(m_fontWidth * 100 / average, 1, 4000));
    }
    // Japanese text needs no character set of its own: the font's fallbacks carry the glyphs.
    m_query->setFont(font);
}

void SqlConsoleDialog::rememberFont() {
    const QFont font = m_query->font();
    const int height = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    Settings settings;
    settings.writeInt(kSection, QStringLiteral("lfHeight"), height);
    settings.writeText(kSection, QStringLiteral("lfFaceName"), font.family());
    settings.writeInt(kSection, QStringLiteral("lfWeight"), font.weight());
    settings.writeInt(kSection, QStringLiteral("lfHeight"), height);
    settings.writeInt(kSection, QStringLiteral("lfWidth"), m_fontWidth);
}

void SqlConsoleDialog::reactToSelection(QTreeWidgetItem* current) {
    if (!m_treeReacts || !current)
        return;
    m_treeReacts = false;
    loadChildren(current);
    m_treeReacts = true;
}

void SqlConsoleDialog::loadChildren(QTreeWidgetItem* node) {
    const int depth = depthOf(node);
    const std::string name = u8(node->text(0));
    if (depth == 1) {
        // Selecting a database also makes it the one unqualified names refer to, for the session.
        if (!m_connection.selectDb(name))
            return;
        m_names->setCurrent(name);
        Result tables = m_connection.listTables("%");
        if (!tables || node->childCount() > 0)
            return;
        const QIcon picture = tableNodePicture();
        while (Row row = tables.fetchRow()) {
            auto* child = new QTreeWidgetItem(node, QStringList{qs(row.text(0))});
            child->setIcon(0, picture);
        }
        node->setExpanded(true);
    } else if (depth == 2) {
        if (node->childCount() > 0)
            return;
        const std::string database = u8(node->parent()->text(0));
        const auto fields = readFieldLines(m_connection, database, name);
        if (!fields)
            return;
        const QIcon picture = fieldNodePicture();
        for (const FieldLine& field : *fields) {
            auto* child = new QTreeWidgetItem(node, QStringList{qs(field.name())});
            child->setIcon(0, picture);
        }
        node->setExpanded(true);
    }
}

void SqlConsoleDialog::insertName(QTreeWidgetItem* node) {
    if (!node)
        return;
    QString text = m_query->toPlainText();
    switch (depthOf(node)) {
        case 1:
            text += ' ' + qs(quoteName(m_connection, u8(node->text(0))));
            break;
        case 2:
            text += ' ' + qs(qualifiedName(m_connection, u8(node->parent()->text(0)), u8(node->text(0))));
            break;
        case 3:
            text += ' ' + qs(quoteName(m_connection, u8(node->text(0))));
            break;
        default:
            break;
    }
    m_query->setPlainText(text);
    m_query->moveCursor(QTextCursor::End);
    m_query->setFocus();
}

void SqlConsoleDialog::copySelection() {
    QModelIndexList cells = m_list->selectionModel()->selectedIndexes();
    if (cells.isEmpty() && m_list->currentIndex().isValid())
        cells << m_list->currentIndex();
    if (!cells.isEmpty())
        QGuiApplication::clipboard()->setText(rows().copiedText(cells));
}

bool SqlConsoleDialog::queryKey(QKeyEvent* key) {
    const bool control = key->modifiers() & Qt::ControlModifier;
    if (!control)
        return false;
    if (key->key() == Qt::Key_Space) {
        completeName(true);
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        if (key->modifiers() & Qt::ShiftModifier)
            execute();
        else
            executeCurrent();
        return true;
    }
    if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
        recall(key->key() == Qt::Key_Up ? -1 : 1);
        return true;
    }
    return false;
}

void SqlConsoleDialog::recall(int step) {
    if (m_recallAt < 0) {
        // A walk starts from what is typed: only the statements holding it are recalled.
        m_beforeRecall = m_query->toPlainText();
        m_recalled = m_history->matching(u8(m_beforeRecall.trimmed()));
        m_recallAt = static_cast<int>(m_recalled.size());
    }
    const int at = std::clamp(m_recallAt + step, 0, static_cast<int>(m_recalled.size()));
    if (at == m_recallAt && step < 0)
        return;
    m_recallAt = at;
    m_recalling = true;
    m_query->setPlainText(at == static_cast<int>(m_recalled.size())
                              ? m_beforeRecall
                              : qs(m_recalled[static_cast<std::size_t>(at)]));
    m_query->moveCursor(QTextCursor::End);
    m_recalling = false;
}

bool SqlConsoleDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_query && event->type() == QEvent::KeyPress && queryKey(static_cast<QKeyEvent*>(event)))
        return true;
    if (m_completer && watched == m_completer->popup() && event->type() == QEvent::KeyPress &&
        completionKey(static_cast<QKeyEvent*>(event)))
        return true;
    // The list's own copy would take the current cell's display text alone ("NULL" for a NULL).
    if (watched == m_list &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) &&
        static_cast<QKeyEvent*>(event) == QKeySequence::Copy) {
        event->accept();
        if (event->type() == QEvent::KeyPress)
            copySelection();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void SqlConsoleDialog::chooseFont() {
    QFont font = m_query->font();
    if (!m_op.chooseFont(this, font))
        return;
    m_fontWidth = 0;
    m_query->setFont(font);
}

void SqlConsoleDialog::exportCsv() {
    const QString text = m_query->toPlainText();
    if (text.isEmpty())
        return;
    // The export sends this text as it stands; only a statement that reads rows may go.
    if (!isRowReadingStatement(u8(text))) {
        m_op.inform(qs(csvNotReadingText()));
        return;
    }
    CsvExportDialog dialog(m_connection, m_op, text, this);
    m_op.runModal(dialog);
}

void SqlConsoleDialog::reject() {
    if (keepOpenForWork(m_work, m_op, QStringLiteral("The statement")))
        return;
    rememberFont();
    QDialog::reject();
}

}  // namespace velkin
