#include "ProcessDetailsDialog.h"
#include "session/Operator.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <iterator>

#include "MonitorText.h"
#include "session/BackgroundWork.h"
#include "session/Connection.h"
#include "session/SqlText.h"

namespace velkin {

namespace {
/// One box per field of the process list, in field order.
const char* const kBoxLabels[] = {"Process ID", "User name", "Host",   "Database",
                                  "Command",    "Time",      "Status", "Infomation"};
}  // namespace

ProcessDetailsDialog::ProcessDetailsDialog(Connection& connection, Operator& op, long long processId,
                                           QWidget* parent, std::mutex* turn)
    : QDialog(parent),
      m_connection(connection),
      m_op(op),
      m_turn(turn),
      m_work(new BackgroundWork(this)),
      m_processId(processId) {
    setWindowTitle(QString());

    auto* form = new QFormLayout;
    const int lastLine = static_cast<int>(std::size(kBoxLabels)) - 1;
    for (const char* text : kBoxLabels) {
        const QString label = QString::fromUtf8(text);
        if (m_boxes.size() == lastLine) {
            m_information = new QPlainTextEdit(this);
            m_information->setObjectName(label);
            m_information->setReadOnly(true);
            m_information->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            m_information->setMinimumSize(420, 6 * fontMetrics().lineSpacing());
            form->addRow(label, m_information);
            continue;
        }
        auto* box = new QLineEdit(this);
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

void ProcessDetailsDialog::talk(const std::function<void()>& call) {
    m_work->run({&m_connection}, [this, &call](WorkControl&) {
        std::unique_lock<std::mutex> lock;
        if (m_turn)
            lock = std::unique_lock<std::mutex>(*m_turn);
        call();
    });
}

void ProcessDetailsDialog::fill() {
    // FULL: the plain list cuts the statement after 100 characters, and the details are where the
    // operator reads a long statement whole.
    // A thread that has ended since shows nothing of what it was.
    for (QLineEdit* box : m_boxes)
        box->clear();
    m_information->clear();
    std::vector<QString> found;
    talk([this, &found] {
        if (m_connection.query(processListStatement(true)) != 0)
            return;
        Result result = m_connection.storeResult();
        while (Row row = result.fetchRow()) {
            if (leadingInteger(row.text(0)) != m_processId)
                continue;
            for (unsigned field = 0; field < kProcessFieldsShown && field < row.size(); ++field)
                found.push_back(qs(row.text(field)));
            return;
        }
    });
    for (int field = 0; field < static_cast<int>(found.size()); ++field) {
        const QString& text = found[static_cast<std::size_t>(field)];
        if (field < m_boxes.size())
            m_boxes[field]->setText(text);
        else
            m_information->setPlainText(text);
    }
}

void ProcessDetailsDialog::stopProcess() {
    // An empty box gives Id 0, which the server refuses; the person learns either outcome, and the
    // boxes show the thread as it is afterwards.
    const long long id = leadingInteger(u8(m_boxes[0]->text()));
    int killed = -1;
    unsigned int errorNumber = 0;
    std::string errorText;
    talk([&] {
        killed = m_connection.kill(static_cast<unsigned long>(id));
        errorNumber = m_connection.errorNumber();
        errorText = m_connection.errorText();
    });
    if (killed == 0)
        m_op.inform(processStoppedText(id), QString(), MessageIcon::Information);
    else
        m_op.inform(processStopRefusedText(id, errorNumber, errorText), QString(), MessageIcon::Warning);
    fill();
}

}  // namespace velkin
