#pragma once

namespace velkin {

/// The script the SQL console shows in its picture: one statement after the other on the demo
/// database, an update and a join.
const char* demoConsoleScript();

}  // namespace velkin
