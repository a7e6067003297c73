#include "Command.h"

namespace velkin {

CommandOwner commandOwner(Command c) {
    switch (c) {
        case Command::Connect:
        case Command::Exit:
        case Command::About:
            return CommandOwner::Application;
        case Command::Find:
        case Command::ToolBar:
        case Command::StatusBar:
            return CommandOwner::Frame;
        case Command::Undo:
        case Command::Cut:
        case Command::Paste:
            return CommandOwner::None;
        default:
            return CommandOwner::View;
    }
}

bool viewHandles(ViewKind view, Command c) {
    const bool tree = view == ViewKind::Tree, list = view == ViewKind::RecordList,
               chart = view == ViewKind::Chart;
    switch (c) {
        case Command::ExportCsv:
        case Command::ImportCsv:
        case Command::AddUser:
        case Command::SqlExecution:
        case Command::ResetServerInfo:
        case Command::ResetHistoryInfo:
        case Command::ResetStatusVariable:
        case Command::ResetOpenTable:
        case Command::DuplicateFromOtherServers:
        case Command::ProcessDisplay:
        case Command::SystemVariableList:
            return true;
        case Command::DatabaseCreation:
        case Command::DatabaseDuplicate:
            return tree || chart;
        case Command::TableNewCreation:
        case Command::Delete:
        case Command::TableNameChange:
        case Command::TableLock:
        case Command::TableUnlock:
        case Command::TableOptimize:
        case Command::TableEdit:
        case Command::TableDuplicate:
        case Command::Maintenance:
        case Command::DataAmount:
            return tree;
        case Command::PrivilegeReload:
        case Command::ServerStop:
            return tree || list;
        case Command::Copy:
        case Command::Filter:
        case Command::PageSetup:
        case Command::PageUp:
        case Command::PageDown:
            return list;
        default:
            return false;
    }
}

bool commandEnabled(ViewKind activeView, Command c) {
    switch (commandOwner(c)) {
        case CommandOwner::Application:
        case CommandOwner::Frame:
            return true;
        case CommandOwner::None:
            return false;
        case CommandOwner::View:
            return viewHandles(activeView, c);
    }
    return false;
}

namespace {
struct Texts {
    Command command;
    const char* label;
    const char* prompt;
};

const Texts kTexts[] = {
    {Command::Connect, "Connect(&N)\tCtrl+N", "Connect"},
    {Command::ExportCsv, "Export CSV", "Output CSV File"},
    {Command::ImportCsv, "Import CSV", "Import CSV File"},
    {Command::Exit, "Exit(&X)", "Exit"},
    {Command::Undo, "Undo(&U)\tCtrl+Z", "Undo"},
    {Command::Cut, "Cut(&T)\tCtrl+X", "Cut"},
    {Command::Copy, "Copy(&C)\tCtrl+C", "Copy"},
    {Command::Paste, "Paste(&P)\tCtrl+V", "Paste"},
    {Command::Find, "Find(&F)\tCtrl+F", "Find"},
    {Command::AddUser, "Add User(&A)", "Add User"},
    {Command::SqlExecution, "SQL Execution", "Query"},
    {Command::DatabaseCreation, "Database creation", "Create Database"},
    {Command::TableNewCreation, "Table new creation", "New Table"},
    {Command::Delete, "Delete", "Delete Databases or Tables"},
    {Command::TableNameChange, "Table name change", "Table name change"},
    {Command::TableLock, "The lock of a table", "The lock of a table"},
    {Command::TableUnlock, "Lock release of a table", "Lock release of a table"},
    {Command::TableOptimize, "Optimization of a table", "Optimization of a table"},
    {Command::PrivilegeReload, "Privilege table reload(&L)", "Table Reload"},
    {Command::ServerStop, "Server stop(&P)", "Server Stop"},
    {Command::ResetServerInfo, "Reset Server Infomation", "Reset Server Infomation"},
    {Command::ResetHistoryInfo, "Reset History Infomation", "Reset History Infomation"},
    {Command::ResetStatusVariable, "Reset Status Variable", "Reset Status Variable"},
    {Command::ResetOpenTable, "Reset Open Table", "Reset Open Table"},
    {Command::DuplicateFromOtherServers, "The duplicate from other servers",
     "The duplicate from other servers"},
    {Command::ToolBar, "Tool Ber(&T)", "Tool Ber"},
    {Command::StatusBar, "Status Ber(&S)", "Status Ber"},
    {Command::ProcessDisplay, "Process display", "Display Process Infomation and Server Status"},
    {Command::Filter, "Filter", "Filer"},
    {Command::SystemVariableList, "System variable list", "Display Valiavle List "},
    {Command::About, "About VelkinSorvane(&A)", "About"},
    {Command::DatabaseDuplicate, "Database duplicate", "A database is reproduced."},
    {Command::PageSetup, "Page Setup", "Page Setup"},
    {Command::PageUp, "Page Up", "Page Up"},
    {Command::PageDown, "Page Dwon", "Page Dwon"},
    {Command::TableEdit, "Table edit", "Table edit"},
    {Command::TableDuplicate, "Table duplicate", "Table duplicate"},
    {Command::Maintenance, "Maintenance and Restoration", "Maintenance and Restoration"},
    {Command::DataAmount, "The amount of data", "The amount of data"},
};

const Texts& texts(Command c) {
    for (const auto& t : kTexts)
        if (t.command == c)
            return t;
    return kTexts[0];
}
}  // namespace

const char* commandLabel(Command c) {
    return texts(c).label;
}
const char* commandPrompt(Command c) {
    return texts(c).prompt;
}

}  // namespace velkin
