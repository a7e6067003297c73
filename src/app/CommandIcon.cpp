#include "CommandIcon.h"

#include "widgets/Pictures.h"

namespace velkin {

namespace {

ToolPicture pictureOf(Command command) {
    switch (command) {
        case Command::Connect:
            return ToolPicture::Plugs;
        case Command::ExportCsv:
            return ToolPicture::PageOut;
        case Command::ImportCsv:
            return ToolPicture::PageIn;
        case Command::AddUser:
            return ToolPicture::AddPerson;
        case Command::Cut:
            return ToolPicture::Scissors;
        case Command::Copy:
            return ToolPicture::TwoPages;
        case Command::Paste:
            return ToolPicture::Clipboard;
        case Command::Find:
            return ToolPicture::Magnifier;
        case Command::Filter:
            return ToolPicture::Funnel;
        case Command::ProcessDisplay:
            return ToolPicture::LineGraph;
        case Command::SystemVariableList:
            return ToolPicture::Variables;
        case Command::SqlExecution:
            return ToolPicture::Sql;
        case Command::DatabaseCreation:
            return ToolPicture::NewDatabase;
        case Command::Delete:
            return ToolPicture::Cross;
        case Command::DatabaseDuplicate:
            return ToolPicture::TwoDatabases;
        case Command::PrivilegeReload:
            return ToolPicture::Reload;
        case Command::ServerStop:
            return ToolPicture::Stop;
        case Command::PageSetup:
            return ToolPicture::Page;
        case Command::PageUp:
            return ToolPicture::ArrowRight;
        case Command::PageDown:
            return ToolPicture::ArrowLeft;
        case Command::About:
            return ToolPicture::QuestionMark;
        default:
            return ToolPicture::Blank;
    }
}

}  // namespace

QIcon commandIcon(Command command) {
    return toolPicture(pictureOf(command));
}

}  // namespace velkin
