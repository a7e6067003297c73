#include "CDbGraphView.h"

#include <QPaintEvent>
#include <QPainter>

#include "ChartPictures.h"
#include "ChartSurvey.h"
#include "privileges/GrantChanges.h"
#include "session/CSorvaneDoc.h"

namespace velkin {

namespace {
constexpr int kInitialSide = 80;
}

/// The scrolled surface: as large as the chart, it shows the chart's picture.
class CDbGraphView::Canvas : public QWidget {
public:
    explicit Canvas(CDbGraphView& view) : m_view(view) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        resize(kInitialSide, kInitialSide);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        const QImage& picture = m_view.picture();
        QPainter painter(this);
        painter.fillRect(event->rect(), Qt::white);
        painter.drawImage(event->rect().topLeft(), picture, event->rect());
    }

private:
    CDbGraphView& m_view;
};

CDbGraphView::CDbGraphView(CSorvaneDoc& doc, Operator& op, ViewHost&, QWidget* parent)
    : QScrollArea(parent), m_doc(doc), m_screens(doc, op, this), m_commands(doc, op, m_screens), m_canvas(new Canvas(*this)) {
    setObjectName(QStringLiteral("CDbGraphView"));
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    setWidget(m_canvas);
    QPalette white = viewport()->palette();
    white.setColor(QPalette::Window, Qt::white);
    viewport()->setPalette(white);
    viewport()->setAutoFillBackground(true);
    // A chart of grants that a closed screen may have changed is drawn afresh at its next paint.
    connect(&GrantChanges::instance(), &GrantChanges::screenClosed, this, [this] {
        if (isGrantChart(m_doc.chartKind()) && !m_drawing) {
            m_drawn = false;
            m_canvas->update();
        }
    });
}

void CDbGraphView::execute(Command command) {
    m_commands.execute(command);
}

void CDbGraphView::initialUpdate() {
    if (!m_drawn)
        m_canvas->resize(kInitialSide, kInitialSide);
}

void CDbGraphView::refresh() {
    m_canvas->update();
}

QSize CDbGraphView::logicalSize() const {
    return m_canvas->size();
}

const QImage& CDbGraphView::picture() {
    draw();
    return m_picture;
}

void CDbGraphView::draw() {
    // A paint that arrives while the statements of a drawing run finds the drawing under way.
    if (m_drawn || m_drawing)
        return;
    m_drawing = true;
    Connection* connection = m_doc.connection();
    if (connection && m_doc.isConnected())
        m_layout = chartOfKind(static_cast<int>(m_doc.chartKind()), *connection, m_doc.hostName(), m_doc.currentDb());
    // A kind without a chart keeps the size it has.
    const QSize size = m_layout.height ? QSize(kChartWidth, *m_layout.height) : m_canvas->size();
    m_picture = renderChart(m_layout, size);
    m_drawn = true;
    m_drawing = false;
    if (size != m_canvas->size())
        m_canvas->resize(size);
}

}  // namespace velkin
