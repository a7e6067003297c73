#pragma once

#include <QString>

#include "SessionKinds.h"

namespace velkin {

/// What the person chose in the object tree, as a value: a screen or a work started from one
/// selection keeps it while the person moves on to another node.
struct Selection {
    /// Empty at the server's root and before anything was chosen.
    QString database;
    /// Empty unless a table node is chosen.
    QString table;
    /// The chosen node's label.
    QString label;
    NodeKind node = NodeKind::Database;
    /// What the right pane draws when it shows a chart for this selection.
    ChartKind chart = ChartKind::None;

    bool hasDatabase() const { return !database.isEmpty(); }
    bool hasTable() const { return !database.isEmpty() && !table.isEmpty(); }
};

}  // namespace velkin
