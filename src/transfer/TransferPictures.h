#pragma once

#include <QIcon>

namespace velkin {

/// The pictures of the transfer screens: each carries a normal and a selected image.
QIcon databaseNodePicture();   ///< 16 by 16, databases and the root of the console's tree
QIcon tableNodePicture();      ///< 16 by 16, tables
QIcon fieldNodePicture();      ///< 16 by 16, fields
QIcon largeDatabasePicture();  ///< 32 by 32, the import's database list
QIcon largeTablePicture();     ///< 32 by 32, the import's table list

}  // namespace velkin
