#include "CMainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QShortcut>
#include <QSplitter>
#include <QToolBar>
#include <QTreeWidgetItemIterator>
#include <algorithm>

#include "AboutDialog.h"
#include "CommandIcon.h"
#include "FindDialog.h"
#include "session/BackgroundWork.h"
#include "session/CSorvaneDoc.h"
#include "session/Operator.h"
#include "session/Settings.h"
#include "views/CDbGraphView.h"
#include "views/CLeftView.h"
#include "views/CSorvaneView.h"
#include "widgets/Pictures.h"

namespace velkin {

namespace {
const QString kWindowSection = QStringLiteral("WindowPosition");
const QString kIdlePrompt = QStringLiteral("Connecting");
const QString kTreeWidthKey = QStringLiteral("CLeftView_W");
// The first start shows the tool bar, the tree, a page of records and the status panes whole.
constexpr int kFirstWidth = 1024;
constexpr int kFirstHeight = 700;
constexpr int kFirstTreeWidth = 200;
}  // namespace

CMainFrame::CMainFrame(CSorvaneDoc& doc, Operator& op, QWidget* parent)
    : QMainWindow(parent), m_doc(doc), m_op(op), m_settings(std::make_unique<Settings>()) {
    setObjectName(QStringLiteral("CMainFrame"));
    setWindowTitle(appTitle());
    setWindowIcon(applicationIcon());
    m_status = std::make_unique<StatusBar>(statusBar());

    buildActions();
    buildMenus();
    buildToolBar();
    buildAccelerators();
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("splitter"));
    m_splitter->setChildrenCollapsible(false);
    m_tree = new CLeftView(doc, op, *this, m_splitter);
    m_right = new CSorvaneView(doc, op, *this, m_splitter);
    m_login = std::make_unique<LoginCycle>(
        doc, [this] { m_tree->leaveSession(); }, [this](bool renewal) { m_tree->rebuild(renewal); });
    // Back under the same login (its SSH tunnel built again): the tree and the record list stay
    // where the person left them, and what the right pane shows is read from the server again.
    m_login->setResumed([this] {
        updateAllViews();
        refreshCommandStates();
    });
    m_splitter->addWidget(m_tree);
    m_splitter->addWidget(m_right);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({kFirstTreeWidth, 100});
    setCentralWidget(m_splitter);

    connect(qApp, &QApplication::focusChanged, this, &CMainFrame::focusChanged);
    m_reaper.setSingleShot(true);
    connect(&m_reaper, &QTimer::timeout, this, &CMainFrame::deleteRetiredViews);
    restoreWindowPlace();
    refreshCommandStates();
}

CMainFrame::~CMainFrame() {
    disconnect(qApp, &QApplication::focusChanged, this, &CMainFrame::focusChanged);
}

// ---- construction -------------------------------------------------------------------------

QAction* CMainFrame::makeAction(Command command) {
    auto* a = new QAction(QString::fromUtf8(commandLabel(command)), this);
    a->setObjectName(QString::fromUtf8(commandLabel(command)).section('\t', 0, 0));
    a->setToolTip(QString::fromUtf8(commandPrompt(command)));
    connect(a, &QAction::triggered, this, [this, command] { runCommand(command); });
    connect(a, &QAction::hovered, this,
            [this, command] { m_status->setPaneText(0, QString::fromUtf8(commandPrompt(command))); });
    m_actions[command] = a;
    return a;
}

void CMainFrame::buildActions() {
    const Command all[] = {
        Command::Connect,
        Command::ExportCsv,
        Command::ImportCsv,
        Command::Exit,
        Command::Undo,
        Command::Cut,
        Command::Copy,
        Command::Paste,
        Command::Find,
        Command::AddUser,
        Command::SqlExecution,
        Command::DatabaseCreation,
        Command::TableNewCreation,
        Command::Delete,
        Command::TableNameChange,
        Command::TableLock,
        Command::TableUnlock,
        Command::TableOptimize,
        Command::PrivilegeReload,
        Command::ServerStop,
        Command::ResetServerInfo,
        Command::ResetHistoryInfo,
        Command::ResetStatusVariable,
        Command::ResetOpenTable,
        Command::DuplicateFromOtherServers,
        Command::ToolBar,
        Command::StatusBar,
        Command::ProcessDisplay,
        Command::Filter,
        Command::SystemVariableList,
        Command::About,
        Command::DatabaseDuplicate,
        Command::PageSetup,
        Command::PageUp,
        Command::PageDown,
        Command::Replication,
        Command::Galera,
    };
    for (Command c : all)
        makeAction(c);
    m_actions[Command::ToolBar]->setCheckable(true);
    m_actions[Command::ToolBar]->setChecked(true);
    m_actions[Command::StatusBar]->setCheckable(true);
    m_actions[Command::StatusBar]->setChecked(true);
    // The menu labels carry the key names after a tab; the keys themselves are set here.
    m_actions[Command::Connect]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    m_actions[Command::Undo]->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)});
    m_actions[Command::Cut]->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
    m_actions[Command::Copy]->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    m_actions[Command::Find]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    m_actions[Command::Paste]->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)});
}

void CMainFrame::buildMenus() {
    auto menu = [this](const char* title, std::initializer_list<int> items) {
        QMenu* m = menuBar()->addMenu(QString::fromUtf8(title));
        m->setObjectName(QString::fromUtf8(title));
        for (int item : items) {
            if (item < 0)
                m->addSeparator();
            else
                m->addAction(m_actions.at(static_cast<Command>(item)));
        }
        connect(m, &QMenu::aboutToShow, this, &CMainFrame::refreshCommandStates);
        connect(m, &QMenu::aboutToHide, this, &CMainFrame::showIdlePrompt);
        return m;
    };
    auto id = [](Command c) { return static_cast<int>(c); };
    const int sep = -1;

    QMenu* file =
        menu("File(&F)", {id(Command::Connect), sep, id(Command::ExportCsv), id(Command::ImportCsv)});
    // The recent-file list of the document files that File > Open and Save would name; the
    // documents hold nothing, so the list stays a placeholder.
    QAction* recent = file->addAction(QString::fromUtf8("最近使ったﾌｧｲﾙ"));
    recent->setObjectName(QStringLiteral("recent files"));
    recent->setEnabled(false);
    file->addSeparator();
    file->addAction(m_actions.at(Command::Exit));

    menu("Edit(&E)", {id(Command::Undo), sep, id(Command::Cut), id(Command::Copy), id(Command::Paste), sep,
                      id(Command::Find)});
    menu("Config(&G)", {id(Command::AddUser), id(Command::SqlExecution), sep, id(Command::DatabaseCreation),
                        id(Command::TableNewCreation), id(Command::Delete), sep, id(Command::TableNameChange),
                        id(Command::TableLock), id(Command::TableUnlock), id(Command::TableOptimize)});
    menu("Server(&S)",
         {id(Command::PrivilegeReload), id(Command::ServerStop), sep, id(Command::ResetServerInfo),
          id(Command::ResetHistoryInfo), id(Command::ResetStatusVariable), id(Command::ResetOpenTable), sep,
          id(Command::DuplicateFromOtherServers)});
    menu("Display(&V)",
         {id(Command::ToolBar), id(Command::StatusBar), sep, id(Command::ProcessDisplay), id(Command::Filter),
          id(Command::SystemVariableList), sep, id(Command::Replication), id(Command::Galera)});
    menu("Help(&H)", {id(Command::About)});
}

void CMainFrame::buildToolBar() {
    m_toolBar = addToolBar(QStringLiteral("Tool Ber"));
    m_toolBar->setObjectName(QStringLiteral("toolbar"));
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setMovable(true);
    m_toolBar->setFloatable(true);
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_toolBar->installEventFilter(this);
    const int gap = -1;
    const int order[] = {
        int(Command::Connect),
        int(Command::ExportCsv),
        int(Command::ImportCsv),
        int(Command::AddUser),
        gap,
        int(Command::Cut),
        int(Command::Copy),
        int(Command::Paste),
        int(Command::Find),
        int(Command::Filter),
        gap,
        int(Command::ProcessDisplay),
        int(Command::SystemVariableList),
        int(Command::SqlExecution),
        int(Command::DatabaseCreation),
        int(Command::Delete),
        int(Command::DatabaseDuplicate),
        gap,
        int(Command::PrivilegeReload),
        int(Command::ServerStop),
        gap,
        int(Command::PageSetup),
        int(Command::PageUp),
        int(Command::PageDown),
        gap,
        int(Command::About),
    };
    for (int item : order) {
        if (item == gap) {
            m_toolBar->addSeparator();
            continue;
        }
        QAction* a = m_actions.at(static_cast<Command>(item));
        a->setIcon(commandIcon(static_cast<Command>(item)));
        m_toolBar->addAction(a);
    }
    connect(m_toolBar, &QToolBar::visibilityChanged, m_actions.at(Command::ToolBar), &QAction::setChecked);
}

void CMainFrame::buildAccelerators() {
    auto shortcut = [this](QKeySequence keys, auto slot) {
        auto* s = new QShortcut(keys, this);
        connect(s, &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence(Qt::Key_F6), [this] { switchPane(true); });
    shortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6), [this] { switchPane(false); });
    // Open, save and print belong to a document that holds nothing of ours: the choosers open and
    // nothing is read or written.
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_O), [this] { m_op.chooseOpenFile(this, QString(), QString()); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_S), [this] { m_op.chooseSaveFile(this, QString(), QString()); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_P), [] {});
}

// ---- start-up and window place ------------------------------------------------------------

void CMainFrame::initialUpdate() {
    // File > Connect while a login is up (from the keep-alive) would stack a second one.
    if (m_doc.isLoggingIn())
        return;
    m_login->login();
    if (auto* list = qobject_cast<CSorvaneView*>(m_right))
        list->initialUpdate();
    else if (auto* chart = qobject_cast<CDbGraphView*>(m_right))
        chart->initialUpdate();
    refreshCommandStates();
}

void CMainFrame::restoreWindowPlace() {
    m_restoreMaximized = m_settings->readInt(kWindowSection, QStringLiteral("Zoom"), 0) != 0;
    m_restoreMinimized = m_settings->readInt(kWindowSection, QStringLiteral("Icon"), 0) != 0;
    m_restoreRect = QRect(m_settings->readInt(kWindowSection, QStringLiteral("CMainFrame_X"), 0),
                          m_settings->readInt(kWindowSection, QStringLiteral("CMainFrame_Y"), 0),
                          m_settings->readInt(kWindowSection, QStringLiteral("CMainFrame_W"), kFirstWidth),
                          m_settings->readInt(kWindowSection, QStringLiteral("CMainFrame_H"), kFirstHeight));
    move(m_restoreRect.topLeft());
    resize(m_restoreRect.size());
    const int tree = m_settings->readInt(kWindowSection, kTreeWidthKey, kFirstTreeWidth);
    m_splitter->setSizes({std::max(tree, 1), std::max(1, width() - tree)});
}

int CMainFrame::treeWidth() const {
    return m_splitter->sizes().value(0, kFirstTreeWidth);
}

void CMainFrame::showRestored() {
    if (m_restoreMinimized)
        showMinimized();
    else if (m_restoreMaximized)
        showMaximized();
    else
        show();
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The stored size is the outer one; once the window manager has framed the window, take the
    // frame off so that the window does not grow by its frame at every start.
    if (!m_frameCorrected && !isMaximized() && !isMinimized()) {
        m_frameCorrected = true;
        QSize frame = frameGeometry().size() - size();
        if (!frame.isEmpty()) {
            resize(m_restoreRect.size() - frame);
            move(m_restoreRect.topLeft());
        }
    }
}

void CMainFrame::saveWindowPlace() {
    m_settings->writeInt(kWindowSection, QStringLiteral("Zoom"), 0);
    m_settings->writeInt(kWindowSection, QStringLiteral("Icon"), 0);
    if (isMaximized())
        m_settings->writeInt(kWindowSection, QStringLiteral("Zoom"), 1);
    if (isMinimized())
        m_settings->writeInt(kWindowSection, QStringLiteral("Icon"), 1);
    QRect outer = frameGeometry();
    m_settings->writeInt(kWindowSection, QStringLiteral("CMainFrame_X"), outer.x());
    m_settings->writeInt(kWindowSection, QStringLiteral("CMainFrame_Y"), outer.y());
    m_settings->writeInt(kWindowSection, QStringLiteral("CMainFrame_W"), outer.width());
    m_settings->writeInt(kWindowSection, QStringLiteral("CMainFrame_H"), outer.height());
    m_settings->writeInt(kWindowSection, kTreeWidthKey, treeWidth());
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    saveWindowPlace();
    if (m_find)
        m_find->close();
    event->accept();
}

// ---- right pane -----------------------------------------------------------------------------

void CMainFrame::setRightView(QWidget* view) {
    // The record place and its timing describe the view that goes; the timing pane goes back to
    // its caption as a login leaves it, and a new record list writes both afresh.
    m_status->setPaneText(kRecordPane, QString());
    if (!m_status->paneText(3).isEmpty())
        m_status->setPaneText(3, QStringLiteral("Reference speed"));
    const bool wasActive = !m_treeActive;
    QList<int> sizes = m_splitter->sizes();
    QWidget* old = m_splitter->replaceWidget(1, view);
    m_right = view;
    if (old) {
        old->hide();
        retire(old);
    }
    // The tree keeps its width; the new view takes the rest.
    const int tree = sizes.value(0, 200);
    m_splitter->setSizes({tree, std::max(1, m_splitter->width() - tree - m_splitter->handleWidth())});
    if (wasActive)
        m_treeActive = false;
    refreshCommandStates();
}

void CMainFrame::retire(QWidget* view) {
    // A new login can replace the right pane while a screen that the old view opened is still up
    // (the keep-alive fires inside any dialog); the old view's code resumes when that screen
    // closes, so the view is deleted only once no modal window or popup remains.
    view->setParent(this);
    m_retired.push_back(view);
    m_reaper.start(0);
}

void CMainFrame::deleteRetiredViews() {
    // Nor while work runs: the code that waits for it belongs perhaps to the view that goes.
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget() ||
        BackgroundWork::runningCount() > 0) {
        m_reaper.start(250);
        return;
    }
    for (QPointer<QWidget>& view : m_retired)
        delete view.data();
    m_retired.clear();
}

void CMainFrame::showChartView() {
    auto* chart = new CDbGraphView(m_doc, m_op, *this);
    setRightView(chart);
    chart->initialUpdate();
}

void CMainFrame::showRecordList() {
    auto* list = new CSorvaneView(m_doc, m_op, *this);
    setRightView(list);
    list->initialUpdate();
}

CSorvaneView* CMainFrame::recordList() {
    return qobject_cast<CSorvaneView*>(m_right);
}

void CMainFrame::updateAllViews() {
    if (auto* list = qobject_cast<CSorvaneView*>(m_right))
        list->refresh();
    else if (auto* chart = qobject_cast<CDbGraphView*>(m_right))
        chart->refresh();
}

// ---- commands -------------------------------------------------------------------------------

CommandTarget* CMainFrame::activeView() const {
    if (m_treeActive)
        return m_tree;
    return dynamic_cast<CommandTarget*>(m_right);
}

void CMainFrame::setActiveView(bool tree) {
    m_treeActive = tree;
    refreshCommandStates();
}

void CMainFrame::focusChanged(QWidget*, QWidget* now) {
    if (!now)
        return;
    if (now == m_tree || m_tree->isAncestorOf(now))
        setActiveView(true);
    else if (m_right && (now == m_right || m_right->isAncestorOf(now)))
        setActiveView(false);
}

void CMainFrame::switchPane(bool) {
    // Two panes: the next pane and the previous one are the same.
    QWidget* target = m_treeActive ? m_right : static_cast<QWidget*>(m_tree);
    if (!target)
        return;
    target->setFocus(Qt::OtherFocusReason);
    setActiveView(target == m_tree);
}

QAction* CMainFrame::action(Command command) const {
    auto it = m_actions.find(command);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::refreshCommandStates() {
    CommandTarget* target = activeView();
    ViewKind kind = target ? target->viewKind() : ViewKind::Tree;
    for (auto& [command, a] : m_actions)
        a->setEnabled(target && commandEnabled(kind, command));
}

void CMainFrame::runCommand(Command command) {
    switch (command) {
        case Command::Connect:
            initialUpdate();
            return;
        case Command::Exit:
            close();
            return;
        case Command::About: {
            AboutDialog about(this);
            m_op.runModal(about);
            return;
        }
        case Command::Find:
            openFind();
            return;
        case Command::ToolBar:
            m_toolBar->setVisible(!m_toolBar->isVisible());
            return;
        case Command::StatusBar:
            statusBar()->setVisible(!statusBar()->isVisible());
            m_actions.at(Command::StatusBar)->setChecked(statusBar()->isVisible());
            return;
        default:
            break;
    }
    if (CommandTarget* target = activeView())
        target->execute(command);
}

void CMainFrame::showIdlePrompt() {
    m_status->setPaneText(0, kIdlePrompt);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_toolBar && event->type() == QEvent::Leave)
        showIdlePrompt();
    return QMainWindow::eventFilter(watched, event);
}

// ---- find -----------------------------------------------------------------------------------

FindDialog* CMainFrame::findDialog() const {
    return m_find;
}

void CMainFrame::openFind() {
    if (!m_find) {
        m_find = new FindDialog(this);
        connect(m_find, &FindDialog::findNextRequested, this, &CMainFrame::findNext);
    }
    m_find->show();
    m_find->raise();
    m_find->activateWindow();
}

void CMainFrame::findNext(const FindRequest& request) {
    if (m_treeActive) {
        findInTree(request);
        return;
    }
    CSorvaneView* list = recordList();
    if (!list)
        return;  // the chart view has nothing to search
    FindResult result = findInRows(
        list->rowCount(), list->columnCount(),
        [list](int row, int column) { return list->cellText(row, column); }, list->hotRow(), request);
    if (result.outcome == FindOutcome::Found)
        list->setHotRow(result.row);
    else
        m_op.inform(findMessage(result.outcome));
}

void CMainFrame::findInTree(const FindRequest& request) {
    // Every node in the order shown, listed databases' tables included: a hundred thousand labels
    // are searched in a few milliseconds.
    std::vector<QTreeWidgetItem*> nodes;
    int start = -1;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        if (*it == m_tree->currentItem())
            start = static_cast<int>(nodes.size());
        nodes.push_back(*it);
    }
    if (start < 0 && !request.down)
        start = static_cast<int>(nodes.size());
    const FindResult result = findInRows(
        static_cast<int>(nodes.size()), 1, [&nodes](int row, int) { return nodes[row]->text(0); }, start,
        request);
    if (result.outcome != FindOutcome::Found) {
        m_op.inform(findMessage(result.outcome));
        return;
    }
    m_tree->setCurrentItem(nodes[static_cast<std::size_t>(result.row)]);
    m_tree->scrollToItem(nodes[static_cast<std::size_t>(result.row)]);
}

}  // namespace velkin
