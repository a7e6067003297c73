#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "session/Connection.h"

namespace velkin {

/// The three grant tables whose Y/N privilege columns the privilege screens edit.
enum class GrantTable { User, Db, Host };

/// One privilege column: its name, its check box, and its SET fragments (fixed texts; several end
/// with a blank, which is part of the text).
struct PrivilegeColumn {
    const char* column;
    const char* label;
    const char* onFragment;
    const char* offFragment;
};

/// The privilege columns of a grant table, in table order (fourteen for user, ten otherwise).
const std::vector<PrivilegeColumn>& privilegeColumns(GrantTable table);
/// Row position of the first privilege column of a `select *` row (3, 3 and 2).
unsigned firstFlagPosition(GrantTable table);

/// A flag is on when its text is exactly "Y" or "y"; a missing column reads as off.
bool flagIsOn(const Row& row, unsigned position);
/// The table's flags read from a `select *` row by position.
std::vector<bool> readFlags(const Row& row, GrantTable table);
/// The SET fragments for the flags, in table order.
std::string flagFragments(GrantTable table, const std::vector<bool>& flags);

/// The looser reading of the overview lists and the host list: a text that begins with Y or y.
bool beginsWithY(std::string_view text);
/// True when any column from position on to the row's last begins with Y or y.
bool anyColumnFromBeginsWithY(const Row& row, unsigned position);
/// A `select *` row of mysql.user holds a privileged account when any column after Password is on
/// (also the columns that no screen edits).
bool isPrivilegedAccount(const Row& row);
/// A `select *` row of mysql.host restricts its host when any column after Db is on; otherwise the
/// host is refused.
bool isRestrictedHost(const Row& row);

}  // namespace velkin
