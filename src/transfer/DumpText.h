#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velkin {

class Connection;
class ServerDialect;

// What a table dump writes around its CREATE and its rows, so that the command-line client loads
// the file into any session the same way: the session's settings saved first and given back last,
// the table's triggers after its rows, a sequence's state, a view's definition.

/// The dump's lines before anything it creates: a comment; the loading session's character sets,
/// zone, sql_mode and foreign key checks saved; SET NAMES with the character set the rows were read
/// in; time zone '+00:00'; sql_mode NO_AUTO_VALUE_ON_ZERO alone (a 0 in an AUTO_INCREMENT key stays
/// 0; no strict mode, so that an ENUM's error value 0 loads), with NO_BACKSLASH_ESCAPES when the
/// values are escaped that way; foreign key checks off, so that a child loads before its parent.
/// withHistory also lets the session write the past row versions of system-versioned tables.
std::string dumpFileHeader(std::string_view characterSet, bool noBackslashEscapes, bool withHistory);
/// Gives the loading session what dumpFileHeader saved.
std::string dumpFileFooter(bool withHistory);

/// Whether the server's version can write past row versions back (MariaDB 10.11 on, the
/// system_versioning_insert_history variable); secureTimestampQuery tells whether it lets a session.
bool versionTakesHistory(const ServerDialect& dialect);
/// "SELECT @@GLOBAL.secure_timestamp": only "NO" lets a session give rows their own timestamps.
std::string secureTimestampQuery();

/// The triggers of one table in the order they fire: name, timing, event, definer (user@host),
/// sql_mode and collation_connection. database and table are plain names.
std::string tableTriggersQuery(const Connection& connection, std::string_view database,
                               std::string_view table);
/// "SHOW CREATE TRIGGER name": its field 2 is the statement as it was written.
std::string showCreateTriggerStatement(std::string_view trigger);
/// A definer as the catalog spells it ("user@host") as a DEFINER clause's value.
std::string definerClause(std::string_view definer);
/// The CREATE TRIGGER for a dump: definer, qualified names, timing and event from the catalog, and
/// the body as written (original: SHOW CREATE TRIGGER's statement) without its FOLLOWS or PRECEDES,
/// since the triggers are created in the order they fire. Nothing when the body cannot be found.
std::optional<std::string> createTriggerStatement(std::string_view definer, std::string_view trigger,
                                                  std::string_view timing, std::string_view event,
                                                  std::string_view table, std::string_view original);
/// A delimiter for the command-line client that none of the texts holds.
std::string triggerDelimiter(const std::vector<std::string>& texts);
/// "DELIMITER d" on a line of its own.
std::string delimiterLine(std::string_view delimiter);
/// The sql_mode and collation a trigger was created under, set for creating it again.
std::string triggerSettingsStatement(const Connection& connection, std::string_view sqlMode,
                                     std::string_view collation);

/// "SHOW CREATE SEQUENCE name"
std::string showCreateSequenceStatement(std::string_view sequence);
/// A sequence's next value and cycle count.
std::string sequenceStateQuery(std::string_view sequence);
/// "DO SETVAL(sequence, next, 0, round)": the next NEXTVAL gives next.
std::string setSequenceStatement(std::string_view sequence, std::string_view next, std::string_view round);
/// A CREATE text (a view's, a sequence's) with the name after its first keyword word (VIEW,
/// SEQUENCE) outside quotes replaced by qualified; any other text stays as it is.
std::string createWithQualifiedName(std::string_view createText, std::string_view keyword,
                                    std::string_view qualified);

}  // namespace velkin
