#include "CDbGraphView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "ChartPainter.h"
#include "ChartSurvey.h"
#include "ViewHost.h"
#include "privileges/GrantChanges.h"
#include "session/BackgroundWork.h"
#include "session/CSorvaneDoc.h"
#include "session/InputPause.h"

namespace velkin {

namespace {
constexpr int kInitialSide = 80;
constexpr int kBusyRetryMilliseconds = 250;

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
        m_view.surveyLater();
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

CDbGraphView::CDbGraphView(CSorvaneDoc& doc, Operator& op, ViewHost& host, QWidget* parent)
    : QScrollArea(parent),
      m_doc(doc),
      m_host(host),
      m_chosen(doc.selection()),
      m_screens(doc, op, this),
      m_commands(doc, op, m_screens),
      m_canvas(new Canvas(*this)),
      m_stop(nullptr) {
    setObjectName(QStringLiteral("CDbGraphView"));
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    setWidget(m_canvas);
    QPalette white = viewport()->palette();
    white.setColor(QPalette::Window, Qt::white);
    viewport()->setPalette(white);
    viewport()->setAutoFillBackground(true);
    auto* stop = new QPushButton(QStringLiteral("Stop"), viewport());
    stop->setObjectName(stop->text());
    stop->move(8, 8);
    stop->hide();
    connect(stop, &QPushButton::clicked, this, [this] {
        if (m_survey)
            m_survey->stop();
    });
    m_stop = stop;
    // A chart of grants that a closed screen may have changed is drawn afresh at its next paint.
    connect(&GrantChanges::instance(), &GrantChanges::screenClosed, this, [this] {
        if (isGrantChart(m_chosen.chart) && !m_drawing) {
            m_drawn = false;
            m_canvas->update();
        }
    });
}

CDbGraphView::~CDbGraphView() {
    // A survey under way ends with its view rather than reading on for nobody.
    if (m_survey)
        m_survey->stop();
}

CLeftView* CDbGraphView::objectTree() {
    return m_host.objectTree();
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
    survey();
    if (m_picture.isNull()) {
        // A kind without a chart keeps the size it has.
        const QSize size = m_layout.height ? QSize(kChartWidth, *m_layout.height) : m_canvas->size();
        m_picture = renderChart(m_layout, size);
    }
    return m_picture;
}

void CDbGraphView::surveyLater() {
    if (m_drawn || m_drawing || m_surveyAsked)
        return;
    // A paint neither waits on the server nor runs the event loop that a survey runs.
    m_surveyAsked = true;
    QTimer::singleShot(0, this, [this] {
        m_surveyAsked = false;
        survey();
    });
}

void CDbGraphView::survey() {
    // A paint that arrives while the survey runs finds it under way and paints what there is.
    if (m_drawn || m_drawing)
        return;
    Connection* connection = m_doc.connection();
    if (connection && connection->isBusy()) {
        // Another screen's work holds the session: the survey waits for it and never meets its traffic.
        QTimer::singleShot(kBusyRetryMilliseconds, this, [this] { m_canvas->update(); });
        return;
    }
    m_drawing = true;
    ChartLayout layout;
    if (connection && m_doc.isConnected()) {
        const QPointer<CDbGraphView> self(this);
        BackgroundWork work;
        m_survey = &work;
        connect(&work, &BackgroundWork::runningChanged, m_stop, [stop = m_stop](bool running) {
            stop->setVisible(running);
            stop->raise();
        });
        const InputPause pause(m_stop);
        work.run({connection}, [&layout, connection, kind = static_cast<int>(m_chosen.chart),
                                host = m_doc.hostName(), database = m_chosen.database](WorkControl& control) {
            layout = chartOfKind(kind, *connection, host, database, &control.stopFlag());
        });
        // The view may have been retired while its chart was surveyed.
        if (!self)
            return;
    }
    m_layout = std::move(layout);
    // A kind without a chart keeps the size it has.
    const QSize size = m_layout.height ? QSize(kChartWidth, *m_layout.height) : m_canvas->size();
    // The whole picture is made only when asked for; the screen paints what is in sight.
    m_picture = QImage();
    m_drawn = true;
    m_drawing = false;
    if (size != m_canvas->size())
        m_canvas->resize(size);
    m_canvas->update();
}

}  // namespace velkin
