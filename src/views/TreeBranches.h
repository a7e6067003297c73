#pragma once

class QPainter;
class QRect;
class QTreeWidget;
class QTreeWidgetItem;

namespace velkin {

/// Dotted lines between siblings and from each node to its parent, with a box button on every node
/// that has children, also at the roots, whatever the style draws of its own.
void drawTreeBranches(const QTreeWidget& tree, QPainter& painter, const QRect& rect, QTreeWidgetItem& node);

}  // namespace velkin
