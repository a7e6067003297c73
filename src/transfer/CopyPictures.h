#pragma once

#include <QIcon>

namespace velkin {

/// 32 by 32, the servers of the copy from another server; a normal and a selected image.
QIcon largeServerPicture();

}  // namespace velkin
