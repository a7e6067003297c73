#include "ProcessDetailsDialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "MonitorText.h"
#include "session/Connection.h"
#include "session/SqlText.h"

namespace velkin {

namespace {
/// One box per field of the process list, in field order.
const char* const kBoxLabels[] = {"Process ID", "User name", "Host",   "Database",
                                  "Command",    "Time",      "Status", "Infomation"};
}  // namespace

ProcessDetailsDialog::ProcessDetailsDialog(Connection& connection, long long processId, QWidget* parent)
    : QDialog(parent), m_connection(connection), m_processId(processId) {
    setWindowTitle(QString());

    auto* form = new QFormLayout;
    for (const char* text : kBoxLabels) {
        auto* box = new QLineEdit(this);
        const QString label = QString::fromUtf8(text);
        box->setObjectName(label);
        box->setReadOnly(true);
        box->setMinimumWidth(240);
        form->addRow(label, box);
        m_boxes << box;
    }

    auto* stop = new QPushButton(QStringLiteral("Process Stop"), this);
    stop->setObjectName(QStringLiteral("Process Stop"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));
    cancel->setDefault(true);
    connect(stop, &QPushButton::clicked, this, &ProcessDetailsDialog::stopProcess);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(stop);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    fill();
}

void ProcessDetailsDialog::fill() {
    if (m_connection.query("SHOW PROCESSLIST") != 0)
        return;
    Result result = m_connection.storeResult();
    while (Row row = result.fetchRow()) {
        if (leadingInteger(row.text(0)) != m_processId)
            continue;
        for (unsigned field = 0; field < kProcessFieldsShown && field < row.size(); ++field)
            m_boxes[static_cast<int>(field)]->setText(qs(row.text(field)));
        return;
    }
}

void ProcessDetailsDialog::stopProcess() {
    // An empty box gives Id 0, which the server refuses; a refusal is not shown.
    const long long id = leadingInteger(u8(m_boxes[0]->text()));
    m_connection.kill(static_cast<unsigned long>(id));
}

}  // namespace velkin
