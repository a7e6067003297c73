#pragma once

#include <QString>

namespace velkin {

/// The script the README's console picture runs on the demo data: one change, then a join that shows it.
QString demoConsoleScript();

}  // namespace velkin
