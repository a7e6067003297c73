#pragma once

#include <QDialog>
#include <QImage>
#include <QMap>
#include <QStringList>

#include "TableAmount.h"

class QLineEdit;

namespace velkin {

class Connection;
class Operator;

/// The data amount of one table: its status figures as boxes and three gauges for the used part of
/// the maximum capacity, of the allocated space, and the data's share of the used space.
class DataAmountDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kCapacityGaugeX = 100;
    static constexpr int kAllocationGaugeX = 260;
    static constexpr int kDataShareGaugeX = 470;
    /// The part of the back buffer that is shown.
    static QRect shownRegion() { return QRect(80, 50, 550, 270); }

    DataAmountDialog(Connection& connection, Operator& op, const QString& database, const QString& table,
                     QWidget* parent = nullptr);

    /// The gauges as drawn; null when the table status could not be read.
    const QImage& gaugeImage() const { return m_gauges; }
    /// The widget that shows the gauges, in whose coordinates they are drawn.
    QWidget* gaugeCanvas() const { return m_canvas; }
    /// The percentages written beside the capacity, allocation and data share gauges.
    const QStringList& gaugeLabels() const { return m_labels; }

private:
    class Canvas;

    void buildScreen();
    QLineEdit* addBox(const QString& label);
    bool readStatus(const QString& database, const QString& table);
    void fillBoxes(const QString& database, const QString& table);
    void drawGauges();

    Connection& m_connection;
    Operator& m_op;
    TableAmount m_amount;
    QMap<QString, QLineEdit*> m_boxes;
    QImage m_gauges;
    QStringList m_labels;
    QWidget* m_canvas = nullptr;
};

}  // namespace velkin
