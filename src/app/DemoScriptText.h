#pragma once

#include <QString>

namespace velkin {

/// The script the README's console picture runs on the demo data: one change, then a join that shows it.
QString demoConsoleScript();
/// A script with a statement that takes a while, for the picture of the console at work.
QString demoSlowScript();

}  // namespace velkin
