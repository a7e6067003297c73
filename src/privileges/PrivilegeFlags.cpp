#include "PrivilegeFlags.h"

#include "session/SqlText.h"

namespace velkin {

namespace {

const std::vector<PrivilegeColumn> kUserColumns = {
    {"Select_priv", "Select", ",Select_priv = 'Y'", ",Select_priv = 'N'"},
    {"Insert_priv", "Insert", ",Insert_priv = 'Y'", ",Insert_priv = 'N'"},
    {"Update_priv", "Update", ",Update_priv = 'Y' ", ",Update_priv = 'N' "},
    {"Delete_priv", "Delete", ",Delete_priv = 'Y' ", ",Delete_priv = 'N' "},
    {"Create_priv", "Create", ",Create_priv = 'Y' ", ",Create_priv = 'N' "},
    {"Drop_priv", "Drop", ",Drop_priv = 'Y' ", ",Drop_priv = 'N' "},
    {"Reload_priv", "Reload", ",Reload_priv = 'Y' ", ",Reload_priv = 'N' "},
    {"Shutdown_priv", "Shutdown", ",Shutdown_priv = 'Y' ", ",Shutdown_priv = 'N' "},
    {"Process_priv", "Process", ",Process_priv = 'Y' ", ",Process_priv = 'N' "},
    {"File_priv", "File", ",File_priv = 'Y' ", ",File_priv = 'N' "},
    {"Grant_priv", "Grant", ",Grant_priv = 'Y' ", ",Grant_priv = 'N' "},
    {"References_priv", "References", ",References_priv = 'Y' ", ",References_priv = 'N' "},
    {"Index_priv", "Index", ",Index_priv = 'Y'", ",Index_priv = 'N'"},
    {"Alter_priv", "Alter", ",Alter_priv = 'Y'", ",Alter_priv = 'N'"},
};

// The database and host tables share the same ten columns and fragments, those of the user table
// without its server-wide ones; their box reads "Reference".
std::vector<PrivilegeColumn> databaseColumns() {
    std::vector<PrivilegeColumn> columns;
    for (const PrivilegeColumn& column : kUserColumns) {
        const std::string_view name = column.column;
        if (name == "Reload_priv" || name == "Shutdown_priv" || name == "Process_priv" || name == "File_priv")
            continue;
        columns.push_back(column);
        if (name == "References_priv")
            columns.back().label = "Reference";
    }
    return columns;
}

const std::vector<PrivilegeColumn> kDbColumns = databaseColumns();

}  // namespace

const std::vector<PrivilegeColumn>& privilegeColumns(GrantTable table) {
    return table == GrantTable::User ? kUserColumns : kDbColumns;
}

unsigned firstFlagPosition(GrantTable table) {
    return table == GrantTable::Host ? 2 : 3;
}

bool flagIsOn(const Row& row, unsigned position) {
    std::string_view text = row.text(position);
    return !row.isNull(position) && (text == "Y" || text == "y");
}

std::vector<bool> readFlags(const Row& row, GrantTable table) {
    std::vector<bool> flags;
    const unsigned first = firstFlagPosition(table);
    for (unsigned i = 0; i < privilegeColumns(table).size(); ++i)
        flags.push_back(flagIsOn(row, first + i));
    return flags;
}

std::string flagFragments(GrantTable table, const std::vector<bool>& flags) {
    std::string text;
    const auto& columns = privilegeColumns(table);
    for (size_t i = 0; i < columns.size(); ++i)
        text += (i < flags.size() && flags[i]) ? columns[i].onFragment : columns[i].offFragment;
    return text;
}

bool beginsWithY(std::string_view text) {
    return !text.empty() && (text[0] == 'Y' || text[0] == 'y');
}

bool anyColumnFromBeginsWithY(const Row& row, unsigned position) {
    for (unsigned i = position; i < row.size(); ++i)
        if (beginsWithY(row.text(i)))
            return true;
    return false;
}

bool isPrivilegedAccount(const Row& row) {
    return anyColumnFromBeginsWithY(row, 3);
}

bool isRestrictedHost(const Row& row) {
    return anyColumnFromBeginsWithY(row, 2);
}

}  // namespace velkin
