#include "CDbGraphView.h"

#include <QPainter>

#include "ViewHost.h"
#include "session/CSorvaneDoc.h"

namespace velkin {

CDbGraphView::CDbGraphView(CSorvaneDoc& doc, Operator& op, ViewHost& host, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_host(host), m_commands(doc, op, this) {
    setObjectName(QStringLiteral("CDbGraphView"));
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void CDbGraphView::execute(Command command) { m_commands.execute(command); }

void CDbGraphView::initialUpdate() { refresh(); }

void CDbGraphView::refresh() { update(); }

void CDbGraphView::paintEvent(QPaintEvent*) {
    // The charts of each node kind are drawn here once the chart screens exist; until then the
    // pane names what is selected.
    QPainter painter(this);
    painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignLeft | Qt::AlignTop, m_doc.m_selectedText);
}

}  // namespace velkin
