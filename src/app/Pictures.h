#pragma once

#include <QIcon>
#include <QPixmap>

#include "views/Command.h"

namespace velkin {

/// The tool bar picture of a command, drawn by us.
QIcon commandIcon(Command command);
/// The application's icon.
QIcon applicationIcon();
/// The logo of the About box.
QPixmap aboutLogo();

}  // namespace velkin
