#pragma once

#include <QIcon>
#include <QPixmap>

namespace velkin {

/// The object tree's six 16 x 16 pictures, drawn here so the program needs no image files:
/// 0 database, 1 database lit (selected), 2 table, 3 table with its title row lit (selected),
/// 4 key of privilege administration, 5 golden key (selected).
QPixmap treePicture(int index);

/// A node's icon: the kind's picture for the normal state and the next one for the selected state.
QIcon treeIcon(int kind);

}  // namespace velkin
