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

    m_stopStatement = new QPushButton(QStringLiteral("Stop statement"), this);
    m_stopStatement->setObjectName(QStringLiteral("Stop statement"));
    m_stopConnection = new QPushButton(QStringLiteral("Stop connection"), this);
    m_stopConnection->setObjectName(QStringLiteral("Stop connection"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));
    cancel->setDefault(true);
    for (QPushButton* stop : {m_stopStatement, m_stopConnection})
        stop->setAutoDefault(false);
    connect(m_stopStatement, &QPushButton::clicked, this, [this] { stopProcess(ProcessStop::Statement); });
    connect(m_stopConnection, &QPushButton::clicked, this, [this] { stopProcess(ProcessStop::Connection); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    // A second click while the server is asked would send a second stop.
    connect(m_work, &BackgroundWork::runningChanged, this, &ProcessDetailsDialog::enableStops);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_stopStatement);
    buttons->addWidget(m_stopConnection);
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
    enableStops();
}

ProcessFacts ProcessDetailsDialog::shownProcess() const {
    ProcessFacts facts;
    facts.id = leadingInteger(u8(m_boxes[0]->text()));
    facts.user = m_boxes[1]->text();
    facts.host = m_boxes[2]->text();
    facts.command = m_boxes[4]->text();
    facts.statement = m_information->toPlainText();
    return facts;
}

void ProcessDetailsDialog::enableStops() {
    const bool found = !m_boxes[0]->text().isEmpty();
    const bool talking = m_work->running();
    const ProcessFacts shown = shownProcess();
    // The thread of the connection the details read on runs nothing but those reads, which are
    // over by the time the person chooses.
    const bool ours = shown.id == static_cast<long long>(m_connection.serverThreadId());
    m_stopConnection->setEnabled(found && !talking);
    m_stopStatement->setEnabled(found && !talking && !ours && runsStatement(shown.command, shown.statement));
}

void ProcessDetailsDialog::stopProcess(ProcessStop what) {
    // The question names the thread as the boxes show it: the Id alone is easily the wrong one.
    const ProcessFacts shown = shownProcess();
    if (shown.id <= 0 || !m_op.ask(processStopQuestion(what, shown)))
        return;
    const std::string statement = processStopStatement(what, shown.id);
    int sent = -1;
    bool lost = false;
    unsigned int errorNumber = 0;
    std::string errorText;
    talk([&] {
        sent = m_connection.query(statement);
        lost = m_connection.connectionLost();
        errorNumber = m_connection.errorNumber();
        errorText = m_connection.errorText();
    });
    // Ending the connection the statement went on is answered with that connection's end: done.
    const bool ours = shown.id == static_cast<long long>(m_connection.serverThreadId());
    if (sent == 0 || (what == ProcessStop::Connection && ours && lost))
        m_op.inform(processStoppedText(what, shown.id), appTitle(), MessageIcon::Information);
    else
        m_op.inform(processStopRefusedText(what, shown.id, errorNumber, errorText), appTitle(),
                    MessageIcon::Warning);
    // The boxes show the thread as it is afterwards.
    fill();
}

}  // namespace velkin
