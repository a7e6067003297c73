#pragma once

#include <string_view>

namespace velkin {

/// Whether a statement only reads rows: SELECT (also in parentheses or after WITH), VALUES, TABLE,
/// SHOW, DESCRIBE and EXPLAIN, with nothing that writes (INTO a file or variable, INSERT, UPDATE,
/// DELETE, REPLACE, CALL), no second statement and no comment the server would run. The export
/// sends the statement it is given, so anything else would change data or schema behind a screen
/// that promises to read.
bool isRowReadingStatement(std::string_view sql);

}  // namespace velkin
