#pragma once

#include <QIcon>
#include <QPixmap>

namespace velkin {

/// The profile tree's pictures, drawn here so the program needs no image files:
/// 0 folder, 1 open (selected) folder, 2 computer, 3 computer with its screen lit (selected).
QPixmap profilePicture(int index);

/// A node's icon: its normal picture, and the next one for the selected state.
QIcon profileIcon(int kind);

}  // namespace velkin
