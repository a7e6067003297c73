#include "TreeBranches.h"

#include <QPainter>
#include <QTreeWidget>

#include "CLeftView.h"

namespace velkin {

namespace {

bool hasLaterSibling(const QTreeWidget& tree, QTreeWidgetItem* node) {
    if (QTreeWidgetItem* parent = node->parent())
        return parent->indexOfChild(node) + 1 < parent->childCount();
    return tree.indexOfTopLevelItem(node) + 1 < tree.topLevelItemCount();
}

}  // namespace

void drawTreeBranches(const QTreeWidget& tree, QPainter& painter, const QRect& rect, QTreeWidgetItem& item) {
    QTreeWidgetItem* node = &item;
    const int indent = tree.indentation();
    const int depth = CLeftView::depthOf(node);
    const int middle = rect.center().y();
    auto lineX = [&](int level) { return rect.left() + level * indent + indent / 2; };

    painter.save();
    painter.setPen(QPen(tree.palette().color(QPalette::Mid), 1, Qt::DotLine));
    const int x = lineX(depth);
    const bool firstRoot = !node->parent() && tree.indexOfTopLevelItem(node) == 0;
    painter.drawLine(x, firstRoot ? middle : rect.top(), x,
                     hasLaterSibling(tree, node) ? rect.bottom() : middle);
    painter.drawLine(x, middle, rect.left() + (depth + 1) * indent - 2, middle);
    int level = depth - 1;
    for (QTreeWidgetItem* a = node->parent(); a; a = a->parent(), --level)
        if (hasLaterSibling(tree, a))
            painter.drawLine(lineX(level), rect.top(), lineX(level), rect.bottom());

    if (node->childCount() > 0) {
        const QRect box(x - 4, middle - 4, 8, 8);
        painter.setPen(tree.palette().color(QPalette::Dark));
        painter.setBrush(tree.palette().color(QPalette::Base));
        painter.drawRect(box);
        painter.setPen(tree.palette().color(QPalette::Text));
        painter.drawLine(box.left() + 2, middle, box.right() - 2, middle);
        if (!node->isExpanded())
            painter.drawLine(x, box.top() + 2, x, box.bottom() - 2);
    }
    painter.restore();
}

}  // namespace velkin
