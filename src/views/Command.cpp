#include "Command.h"

#include "CLeftView.h"
#include "CSorvaneView.h"
#include "ScreenDispatcher.h"
#include "SessionCommands.h"
#include "session/Selection.h"

namespace velkin {

namespace {

// The views in which a command is enabled.
constexpr unsigned kTree = 1, kList = 2, kChart = 4, kAnyView = kTree | kList | kChart;
/// The main window's own commands, enabled whatever view is active.
constexpr unsigned kWindow = 8;
/// Editing commands that act on nothing of ours: shown, never enabled.
constexpr unsigned kNever = 0;

using Handler = void (*)(CommandTarget& view, const Selection& chosen);

/// One command: its texts, where it is enabled, what carries it out, and whether it may leave a
/// database with other tables than its node shows.
struct CommandRow {
    Command command;
    const char* label;
    const char* prompt;
    unsigned views;
    Handler handler;
    bool changesTables = false;
};

// Handlers that act on the tree or the record list do nothing where there is none beside the view.
template <void (CLeftView::*action)()>
void onTree(CommandTarget& view, const Selection&) {
    if (CLeftView* tree = view.objectTree())
        (tree->*action)();
}
template <void (CSorvaneView::*action)()>
void onList(CommandTarget& view, const Selection&) {
    if (CSorvaneView* list = view.recordListView())
        (list->*action)();
}
template <void (SessionCommands::*action)()>
void onSession(CommandTarget& view, const Selection&) {
    (view.sessionCommands().*action)();
}
template <void (ScreenDispatcher::*open)()>
void screen(CommandTarget& view, const Selection&) {
    (view.screens().*open)();
}
/// A screen about one table opens only when a table is chosen.
template <void (ScreenDispatcher::*open)(const QString&, const QString&)>
void tableScreen(CommandTarget& view, const Selection& chosen) {
    if (chosen.hasTable())
        (view.screens().*open)(chosen.database, chosen.table);
}
template <Command which>
void flush(CommandTarget& view, const Selection&) {
    view.sessionCommands().flush(which);
}

const CommandRow kCommands[] = {
    {Command::Connect, "Connect(&N)\tCtrl+N", "Connect", kWindow, nullptr},
    {Command::ExportCsv, "Export CSV", "Output CSV File", kAnyView,
     [](CommandTarget& view, const Selection& chosen) {
         if (chosen.hasTable())
             view.screens().openTableExport(chosen.database, chosen.table);
     }},
    {Command::ImportCsv, "Import CSV", "Import CSV File", kAnyView, screen<&ScreenDispatcher::openCsvImport>,
     true},
    {Command::Exit, "Exit(&X)", "Exit", kWindow, nullptr},
    {Command::Undo, "Undo(&U)\tCtrl+Z", "Undo", kNever, nullptr},
    {Command::Cut, "Cut(&T)\tCtrl+X", "Cut", kNever, nullptr},
    {Command::Copy, "Copy(&C)\tCtrl+C", "Copy", kList,
     [](CommandTarget& view, const Selection&) {
         if (CSorvaneView* list = view.recordListView())
             list->copySelection();
     }},
    {Command::Paste, "Paste(&P)\tCtrl+V", "Paste", kNever, nullptr},
    {Command::Find, "Find(&F)\tCtrl+F", "Find", kWindow, nullptr},
    {Command::AddUser, "Add User(&A)", "Add User", kAnyView, onSession<&SessionCommands::addUser>},
    // The tree follows the console's new databases; without a tree beside the view the console
    // still opens.
    {Command::SqlExecution, "SQL Execution", "Query", kAnyView,
     [](CommandTarget& view, const Selection&) {
         if (CLeftView* tree = view.objectTree())
             tree->executeSql();
         else
             view.screens().openSqlConsole();
     },
     true},
    {Command::DatabaseCreation, "Database creation", "Create Database", kTree | kChart,
     onTree<&CLeftView::createDatabase>},
    {Command::TableNewCreation, "Table new creation", "New Table", kTree, onTree<&CLeftView::createTable>},
    {Command::Delete, "Delete", "Delete Databases or Tables", kTree, onTree<&CLeftView::deleteSelected>},
    {Command::TableNameChange, "Table name change", "Table name change", kTree,
     onTree<&CLeftView::renameTable>},
    {Command::TableLock, "The lock of a table", "The lock of a table", kTree, onTree<&CLeftView::lockTable>},
    {Command::TableUnlock, "Lock release of a table", "Lock release of a table", kTree,
     onTree<&CLeftView::unlockTables>},
    {Command::TableOptimize, "Optimization of a table", "Optimization of a table", kTree,
     [](CommandTarget& view, const Selection& chosen) { view.sessionCommands().optimizeTable(chosen); }},
    {Command::PrivilegeReload, "Privilege table reload(&L)", "Table Reload", kTree | kList,
     onSession<&SessionCommands::reloadPrivileges>},
    {Command::ServerStop, "Server stop(&P)", "Server Stop", kTree | kList,
     onSession<&SessionCommands::stopServer>},
    {Command::ResetServerInfo, "Reset Server Infomation", "Reset Server Infomation", kAnyView,
     flush<Command::ResetServerInfo>},
    {Command::ResetHistoryInfo, "Reset History Infomation", "Reset History Infomation", kAnyView,
     flush<Command::ResetHistoryInfo>},
    {Command::ResetStatusVariable, "Reset Status Variable", "Reset Status Variable", kAnyView,
     flush<Command::ResetStatusVariable>},
    {Command::ResetOpenTable, "Reset Open Table", "Reset Open Table", kAnyView,
     flush<Command::ResetOpenTable>},
    {Command::DuplicateFromOtherServers, "The duplicate from other servers",
     "The duplicate from other servers", kAnyView, screen<&ScreenDispatcher::openCopyFromOtherServers>, true},
    {Command::ToolBar, "Tool Ber(&T)", "Tool Ber", kWindow, nullptr},
    {Command::StatusBar, "Status Ber(&S)", "Status Ber", kWindow, nullptr},
    {Command::ProcessDisplay, "Process display", "Display Process Infomation and Server Status", kAnyView,
     screen<&ScreenDispatcher::openProcessMonitor>},
    {Command::Filter, "Filter", "Filer", kList, onList<&CSorvaneView::openFilter>},
    {Command::SystemVariableList, "System variable list", "Display Valiavle List ", kAnyView,
     screen<&ScreenDispatcher::openVariableList>},
    {Command::About, "About VelkinSorvane(&A)", "About", kWindow, nullptr},
    {Command::DatabaseDuplicate, "Database duplicate", "A database is reproduced.", kTree | kChart,
     onTree<&CLeftView::duplicateDatabase>, true},
    {Command::PageSetup, "Page Setup", "Page Setup", kList, onList<&CSorvaneView::openPageSetup>},
    {Command::PageUp, "Page Up", "Page Up", kList, onList<&CSorvaneView::nextPage>},
    {Command::PageDown, "Page Dwon", "Page Dwon", kList, onList<&CSorvaneView::previousPage>},
    {Command::TableEdit, "Table edit", "Table edit", kTree, onTree<&CLeftView::editTable>},
    {Command::TableDuplicate, "Table duplicate", "Table duplicate", kTree,
     tableScreen<&ScreenDispatcher::openTableCopy>, true},
    {Command::Maintenance, "Maintenance and Restoration", "Maintenance and Restoration", kTree,
     tableScreen<&ScreenDispatcher::openMaintenance>},
    {Command::DataAmount, "The amount of data", "The amount of data", kTree,
     tableScreen<&ScreenDispatcher::openDataAmount>},
    {Command::Replication, "Replication", "Watch replicas and the binary log, start and stop replicas",
     kAnyView, screen<&ScreenDispatcher::openReplication>},
    {Command::Galera, "Galera cluster", "Watch every node of the Galera cluster", kAnyView,
     screen<&ScreenDispatcher::openGalera>},
};

const CommandRow& row(Command c) {
    for (const CommandRow& r : kCommands)
        if (r.command == c)
            return r;
    return kCommands[0];
}

unsigned viewBit(ViewKind view) {
    switch (view) {
        case ViewKind::Tree:
            return kTree;
        case ViewKind::RecordList:
            return kList;
        case ViewKind::Chart:
            return kChart;
    }
    return 0;
}

}  // namespace

bool isWindowCommand(Command c) {
    return row(c).views == kWindow;
}

bool commandEnabled(ViewKind activeView, Command c) {
    const unsigned views = row(c).views;
    return views == kWindow || (views & viewBit(activeView)) != 0;
}

const char* commandLabel(Command c) {
    return row(c).label;
}
const char* commandPrompt(Command c) {
    return row(c).prompt;
}

void CommandTarget::execute(Command command) {
    const CommandRow& r = row(command);
    if (!r.handler || !commandEnabled(viewKind(), command))
        return;
    const Selection chosen = selection();
    r.handler(*this, chosen);
    // A screen that may have created or dropped tables leaves the tree to catch up, whichever view
    // it was opened from.
    if (r.changesTables)
        if (CLeftView* tree = objectTree())
            tree->bringTablesUpToDate();
}

}  // namespace velkin
