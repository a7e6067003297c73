#include "CDbGraphView.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "ChartPainter.h"
#include "ChartSurvey.h"
#include "privileges/GrantChanges.h"
#include "session/CSorvaneDoc.h"

namespace velkin {

namespace {
constexpr int kInitialSide = 80;

/// How far a text or picture may reach from its anchor: the largest chart font and picture are
/// well inside it.
constexpr int kReach = 64;

/// The parts of a layout that may show in the rectangle.
ChartLayout partInSight(const ChartLayout& layout, const QRect& rect) {
    const int top = rect.top() - kReach;
    const int bottom = rect.bottom() + kReach;
    auto near = [&](int y) { return y >= top && y <= bottom; };
    ChartLayout part;
    for (const ChartText& t : layout.texts)
        if (near(t.at.y()))
            part.texts.push_back(t);
    for (const ChartLine& l : layout.lines)
        if (std::min(l.from.y(), l.to.y()) <= bottom && std::max(l.from.y(), l.to.y()) >= top)
            part.lines.push_back(l);
    for (const ChartIcon& i : layout.icons)
        if (near(i.at.y()))
            part.icons.push_back(i);
    part.height = layout.height;
    return part;
}
}  // namespace

/// The scrolled surface: as large as the chart, it shows the chart's picture.
class CDbGraphView::Canvas : public QWidget {
public:
    explicit Canvas(CDbGraphView& view) : m_view(view) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        resize(kInitialSide, kInitialSide);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        m_view.draw();
        // Only the part in sight is painted: a chart of many rows is tens of thousands of pixels
        // tall, and painting all of it would cost far more than reading its figures.
        QPainter painter(this);
        painter.fillRect(event->rect(), Qt::white);
        painter.setClipRect(event->rect());
        paintChart(painter, partInSight(m_view.m_layout, event->rect()));
    }

private:
    CDbGraphView& m_view;
};

CDbGraphView::CDbGraphView(CSorvaneDoc& doc, Operator& op, ViewHost&, QWidget* parent)
    : QScrollArea(parent),
      m_doc(doc),
      m_screens(doc, op, this),
      m_commands(doc, op, m_screens),
      m_canvas(new Canvas(*this)) {
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
    if (m_picture.isNull()) {
        // A kind without a chart keeps the size it has.
        const QSize size = m_layout.height ? QSize(kChartWidth, *m_layout.height) : m_canvas->size();
        m_picture = renderChart(m_layout, size);
    }
    return m_picture;
}

void CDbGraphView::draw() {
    // A paint that arrives while the statements of a drawing run finds the drawing under way.
    if (m_drawn || m_drawing)
        return;
    m_drawing = true;
    Connection* connection = m_doc.connection();
    if (connection && m_doc.isConnected())
        m_layout = chartOfKind(static_cast<int>(m_doc.chartKind()), *connection, m_doc.hostName(),
                               m_doc.currentDb());
    // A kind without a chart keeps the size it has.
    const QSize size = m_layout.height ? QSize(kChartWidth, *m_layout.height) : m_canvas->size();
    // The whole picture is made only when asked for; the screen paints what is in sight.
    m_picture = QImage();
    m_drawn = true;
    m_drawing = false;
    if (size != m_canvas->size())
        m_canvas->resize(size);
}

}  // namespace velkin
