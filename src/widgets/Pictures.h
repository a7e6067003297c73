#pragma once

#include <QIcon>
#include <QPixmap>

namespace velkin {

// Every picture of the program, drawn in code so that it needs no image files. Each picture is named
// after what it shows; which picture stands for which command, node or account is the screens' choice.
// What lies outside a drawing is transparent.

/// The tool bar's 16 by 16 pictures; Blank is an empty square for the buttons that have none.
enum class ToolPicture {
    Blank,
    Plugs,
    PageOut,
    PageIn,
    AddPerson,
    Scissors,
    TwoPages,
    Clipboard,
    Magnifier,
    Funnel,
    LineGraph,
    Variables,
    Sql,
    NewDatabase,
    Cross,
    TwoDatabases,
    Reload,
    Stop,
    Page,
    ArrowRight,
    ArrowLeft,
    QuestionMark,
};
QIcon toolPicture(ToolPicture picture);
/// The application's icon.
QIcon applicationIcon();
/// The logo of the About box.
QPixmap aboutLogo();

/// The profile tree's pictures: 0 folder, 1 open (selected) folder, 2 computer, 3 computer with its
/// screen lit (selected).
QPixmap profilePicture(int index);
/// A node's icon: its normal picture, and the next one for the selected state.
QIcon profileIcon(int kind);

/// The object tree's six 16 by 16 pictures: 0 database, 1 database lit (selected), 2 table, 3 table
/// with its title row lit (selected), 4 key of privilege administration, 5 golden key (selected).
QPixmap treePicture(int index);
/// A node's icon: the kind's picture for the normal state and the next one for the selected state.
QIcon treeIcon(int kind);

// 16 by 16, the rows of a table's field list.
QIcon primaryKeyPicture();   ///< a golden key
QIcon multipleKeyPicture();  ///< a grey-blue key
QIcon plainFieldPicture();   ///< a column of cells

// 32 by 32, the privilege lists.
/// A user: the granted users of a database.
QIcon userPicture();
QIcon localAccountPicture();       ///< a desktop computer
QIcon globalAccountPicture();      ///< a globe with a computer
QIcon restrictedAccountPicture();  ///< a server linked to a notebook
/// A server with an arrow turning back in front of it: a host that is refused.
QIcon refusedHostPicture();
/// A server with an arrow pointing into it: a host that is let in with restricted privileges.
QIcon restrictedHostPicture();
/// A database in the large-icon lists of the privilege screens.
QIcon databasePicture();

// The transfer screens' pictures; each carries a normal and a selected image.
QIcon databaseNodePicture();   ///< 16 by 16, databases and the root of the console's tree
QIcon tableNodePicture();      ///< 16 by 16, tables
QIcon fieldNodePicture();      ///< 16 by 16, fields
QIcon largeDatabasePicture();  ///< 32 by 32, the import's database list
QIcon largeTablePicture();     ///< 32 by 32, the import's table list
QIcon largeServerPicture();    ///< 32 by 32, the servers of the copy from another server

// 32 by 32, the charts' own pictures.
QPixmap chartServerPicture();    ///< two rack units stacked on a foot
QPixmap chartDatabasePicture();  ///< a golden drum of data
QPixmap chartTablePicture();     ///< a sheet under a blue title row

}  // namespace velkin
