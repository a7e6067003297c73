#include "DatabaseCopyText.h"

#include "CopyText.h"
#include "session/SqlText.h"

namespace velkin {

std::string sessionModeQuery() {
    return "SELECT @@SESSION.sql_mode, @@SESSION.collation_connection";
}

std::string insertHistoryQuery() {
    return "SELECT @@SESSION.system_versioning_insert_history";
}

std::string setInsertHistoryStatement(bool on) {
    return sqlf("SET SESSION system_versioning_insert_history = %d", on ? 1 : 0);
}

}  // namespace velkin
