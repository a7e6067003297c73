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
};

/// The kinds of view that can be active in the main window.
enum class ViewKind { Tree, RecordList, Chart };

/// Who carries a command out: the active view, the frame itself, the application, or nobody.
enum class CommandOwner { View, Frame, Application, None };

CommandOwner commandOwner(Command command);
/// Whether a view of this kind carries the command out (and so enables it while it is active).
bool viewHandles(ViewKind view, Command command);
/// Enabled with this view active: frame and application commands always, view commands when the
/// view handles them, the editing commands never.
bool commandEnabled(ViewKind activeView, Command command);

/// The command's label in menus ("\t" and the accelerator text included where the menu shows one).
const char* commandLabel(Command command);
/// The one-line prompt shown in status pane 0 while the command's item or button is highlighted.
const char* commandPrompt(Command command);

/// A view that can be the active view of the main window.
class CommandTarget {
public:
    virtual ~CommandTarget() = default;
    virtual ViewKind viewKind() const = 0;
    /// Carries out a command that viewHandles() gives this view.
    virtual void execute(Command command) = 0;
};

}  // namespace velkin
