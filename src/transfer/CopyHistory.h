#pragma once

#include <string>

#include "RowCopy.h"

namespace velkin {

/// The history of a system-versioned source: while it lives, the destination's session may write
/// the row start and row end columns, so that past rows are copied as they were, where the
/// destination's server allows it.
class CopyHistory {
public:
    CopyHistory(Connection& destination, const CopyTable& to, bool sourceVersioned);
    ~CopyHistory();
    CopyHistory(const CopyHistory&) = delete;
    CopyHistory& operator=(const CopyHistory&) = delete;

    /// The source keeps past rows.
    bool versioned() const { return m_versioned; }
    /// They are copied: read with every version, their start and end columns named.
    bool kept() const { return m_kept; }

private:
    Connection& m_destination;
    bool m_versioned = false;
    bool m_kept = false;
    std::string m_previous;
};

}  // namespace velkin
