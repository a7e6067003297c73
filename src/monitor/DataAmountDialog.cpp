#include "DataAmountDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "Gauge.h"
#include "session/BackgroundWork.h"
#include "session/Connection.h"
#include "session/InputPause.h"
#include "session/Operator.h"
#include "session/SqlText.h"
#include "session/TableStatus.h"

namespace velkin {

namespace {

/// Box labels in screen order, two to a row.
const char* const kBoxLabels[] = {
    "Database",
    "Table",
    "Table creation time",
    "Updated time",
    "Checked time",
    "The Type of table",
    "Preservation form of a record",
    "Extended option",
    "Records count",
    "Avg Record Length",
    "The maximum capacity",
    "Present",
    "Use domain",
    "Intact domain",
    "Data",
    "Index",
};

struct GaugeCaption {
    const char* text;
    int x;
};
const GaugeCaption kCaptions[] = {{"Disk capacity", DataAmountDialog::kCapacityGaugeX},
                                  {"The rate of domain secured use", DataAmountDialog::kAllocationGaugeX},
                                  {"Index vs Data", DataAmountDialog::kDataShareGaugeX}};

}  // namespace

/// Shows the shown region of the dialog's back buffer at its own place.
class DataAmountDialog::Canvas : public QWidget {
public:
    Canvas(const QImage& image, QWidget* parent) : QWidget(parent), m_image(image) {}

protected:
    void paintEvent(QPaintEvent*) override {
        if (m_image.isNull())
            return;
        QPainter p(this);
        const QRect region = shownRegion();
        p.drawImage(region.topLeft(), m_image, region);
    }

private:
    const QImage& m_image;
};

DataAmountDialog::DataAmountDialog(Connection& connection, Operator& op, const QString& database,
                                   const QString& table, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint), m_connection(connection), m_op(op) {
    buildScreen();
    if (!readStatus(database, table))
        return;
    fillBoxes(database, table);
    drawGauges();
}

void DataAmountDialog::buildScreen() {
    auto* grid = new QGridLayout;
    int at = 0;
    for (const char* text : kBoxLabels) {
        const QString label = QString::fromUtf8(text);
        auto* box = new QLineEdit(this);
        box->setObjectName(label);
        box->setReadOnly(true);
        m_boxes.insert(label, box);
        grid->addWidget(new QLabel(label, this), at / 2, (at % 2) * 2);
        grid->addWidget(box, at / 2, (at % 2) * 2 + 1);
        ++at;
    }

    m_canvas = new Canvas(m_gauges, this);
    m_canvas->setObjectName(QStringLiteral("Gauges"));
    const QRect region = shownRegion();
    m_canvas->setFixedSize(region.right() + 11, region.bottom() + 11);
    for (const GaugeCaption& caption : kCaptions) {
        auto* label = new QLabel(QString::fromUtf8(caption.text), m_canvas);
        label->setObjectName(label->text());
        label->adjustSize();
        label->move(caption.x - 20, 20);
    }

    // The "OK" of the old template stays out of reach; "Close" is the way out.
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setEnabled(false);
    ok->hide();
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("Close"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_canvas);
    layout->addLayout(buttons);
}

bool DataAmountDialog::readStatus(const QString& database, const QString& table) {
    // Read beside the window's thread, which keeps painting while the server counts.
    TableStatusList status;
    Connection* connection = &m_connection;
    BackgroundWork work;
    const InputPause pause;
    work.run({connection}, [&status, connection, db = u8(database), name = u8(table)](WorkControl&) {
        status = readTableStatus(*connection, db, name);
    });
    switch (status.outcome) {
        case TableStatusList::Outcome::QueryFailed:
            m_op.inform(QStringLiteral("It failed in issue of Query."));
            return false;
        case TableStatusList::Outcome::NoResult:
            m_op.inform(QStringLiteral("Data is unacquirable."));
            return false;
        case TableStatusList::Outcome::Read:
            break;
    }
    if (status.tables.empty()) {
        // Shown as an empty table: zeros, an unknown maximum and gauges at 0 %.
        m_op.inform(QStringLiteral("This server cannot use this function."));
        return true;
    }
    m_amount = status.tables.front();
    return true;
}

void DataAmountDialog::fillBoxes(const QString& database, const QString& table) {
    const TableAmount& a = m_amount;
    auto set = [this](const char* label, const std::string& text) {
        m_boxes.value(label)->setText(qs(text));
    };
    m_boxes.value("Database")->setText(database);
    m_boxes.value("Table")->setText(table);
    set("Table creation time", a.created);
    set("Updated time", a.updated);
    set("Checked time", a.checked);
    set("The Type of table", a.type);
    set("Preservation form of a record", a.rowFormat);
    set("Extended option", a.options);
    set("Records count", recordCountText(a.rows));
    set("Avg Record Length", byteText(a.avgRowLength));
    set("The maximum capacity", maxCapacityText(a.max));
    set("Present", byteText(a.data + a.index + a.free));
    set("Use domain", byteText(a.data + a.index));
    set("Intact domain", byteText(a.free));
    set("Data", byteText(a.data));
    set("Index", byteText(a.index));
}

void DataAmountDialog::drawGauges() {
    m_gauges = QImage(m_canvas->size(), QImage::Format_RGB32);
    m_gauges.fill(palette().color(QPalette::Window));
    const QFont font = this->font();
    const std::pair<int, double> gauges[] = {{kCapacityGaugeX, capacityPercent(m_amount)},
                                             {kAllocationGaugeX, allocationPercent(m_amount)},
                                             {kDataShareGaugeX, dataSharePercent(m_amount)}};
    for (const auto& [x, percent] : gauges) {
        GaugeShape shape;
        shape.x = x;
        drawGauge(m_gauges, shape, percent, font);
        m_labels << gaugeLabel(percent);
    }
    m_canvas->update();
}

}  // namespace velkin
