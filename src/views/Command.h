#pragma once

namespace velkin {

/// Every command of the menus, tool bar, accelerators and context menus.
enum class Command {
    Connect,
    ExportCsv,
    ImportCsv,
    Exit,
    Undo,
    Cut,
    Copy,
    Paste,
    Find,
    AddUser,
    SqlExecution,
    DatabaseCreation,
    TableNewCreation,
    Delete,
    TableNameChange,
    TableLock,
    TableUnlock,
    TableOptimize,
    PrivilegeReload,
    ServerStop,
    ResetServerInfo,
    ResetHistoryInfo,
    ResetStatusVariable,
    ResetOpenTable,
    DuplicateFromOtherServers,
    ToolBar,
    StatusBar,
    ProcessDisplay,
    Filter,
    SystemVariableList,
    About,
    DatabaseDuplicate,
    PageSetup,
    PageUp,
    PageDown,
    TableEdit,
    TableDuplicate,
    Maintenance,
    DataAmount,
    Replication,
    Galera,
};

/// The kinds of view that can be active in the main window.
enum class ViewKind { Tree, RecordList, Chart };

/// The commands the main window carries out itself whichever view is active (connect, exit, about,
/// find and the bars); the others are carried out through the active view's `CommandTarget`.
bool isWindowCommand(Command command);
/// Enabled with this view active: the window's own commands always, the editing commands that act
/// on nothing of ours never, the others where the command table lets the view carry them out.
bool commandEnabled(ViewKind activeView, Command command);

/// The command's label in menus ("\t" and the accelerator text included where the menu shows one).
const char* commandLabel(Command command);
/// The one-line prompt shown in status pane 0 while the command's item or button is highlighted.
const char* commandPrompt(Command command);

class CLeftView;
class CSorvaneView;
class ScreenDispatcher;
class SessionCommands;
struct Selection;

/// A view that can be the active view of the main window, and what a command carried out from it
/// may act on.
class CommandTarget {
public:
    virtual ~CommandTarget() = default;
    virtual ViewKind viewKind() const = 0;
    /// What the view shows; for the tree, what it has chosen now.
    virtual Selection selection() const = 0;
    /// The object tree beside this view; null where there is none.
    virtual CLeftView* objectTree() = 0;
    /// The record list, when it is this view or shown beside it; null otherwise.
    virtual CSorvaneView* recordListView() = 0;
    /// The screens, opened over this view.
    virtual ScreenDispatcher& screens() = 0;
    virtual SessionCommands& sessionCommands() = 0;

    /// Carries out a command from this view as the command table says, when the view enables it.
    void execute(Command command);
};

}  // namespace velkin
