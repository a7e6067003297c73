#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace velkin {

/// What the import screen's controls say about one LOAD DATA statement.
struct LoadDataOptions {
    std::string fileName;
    bool lowPriority = false;
    bool local = false;
    bool replace = false;
    /// The table, already written as it must stand in the statement.
    std::string target;
    std::string fieldsTerminated;
    std::string fieldsEnclosed;
    std::string fieldsEscaped;
    std::string linesTerminated;
    /// Lines to skip, as typed; empty for none.
    std::string ignoreLines;
};

/// Escapes a text for use between single quotes.
using EscapeText = std::function<std::string(std::string_view)>;

/// The LOAD DATA statement for these options. The file name and the four format texts are escaped,
/// so they are taken literally (a backslash and t is a two-character terminator, not a tab); the
/// target and the line count are written as given.
std::string loadDataStatement(const LoadDataOptions& options, const EscapeText& escape);

}  // namespace velkin
