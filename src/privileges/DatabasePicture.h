#pragma once

#include <QIcon>

namespace velkin {

/// The 32 by 32 picture of a database in the large-icon lists of the privilege screens.
QIcon databasePicture();

}  // namespace velkin
