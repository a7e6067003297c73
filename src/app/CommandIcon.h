#pragma once

#include <QIcon>

#include "views/Command.h"

namespace velkin {

/// The tool bar picture of a command; a blank square for a command without one.
QIcon commandIcon(Command command);

}  // namespace velkin
