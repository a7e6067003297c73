#include "CsvExportDialog.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ReadStatement.h"
#include "RowStream.h"
#include "TextModeFile.h"
#include "WorkButtons.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/SqlText.h"
#include "session/TableStatus.h"
#include "widgets/Kit.h"
#include "widgets/WorkProgress.h"

namespace velkin {

namespace {

constexpr long kBlockRows = 1000;

ChoiceGroup choiceGroup(const QString& title, QWidget* parent) {
    ChoiceGroup g{};
    g.box = namedGroup(title, parent);
    g.byDefault = new QRadioButton(QStringLiteral("Default"), g.box);
    g.byDefault->setObjectName(QStringLiteral("Default"));
    g.list = new QComboBox(g.box);
    g.list->setObjectName(QStringLiteral("Default list"));
    g.byUser = new QRadioButton(QStringLiteral("User specification"), g.box);
    g.byUser->setObjectName(QStringLiteral("user-given"));
    g.text = namedLineEdit(QStringLiteral("user-given text"), g.box);
    auto* grid = new QGridLayout(g.box);
    grid->addWidget(g.byDefault, 0, 0);
    grid->addWidget(g.list, 0, 1);
    grid->addWidget(g.byUser, 1, 0);
    grid->addWidget(g.text, 1, 1);
    g.byDefault->setChecked(true);
    return g;
}

}  // namespace

CsvExportDialog::CsvExportDialog(Connection& connection, Operator& op, const QString& statement,
                                 QWidget* parent)
    : QDialog(parent), m_connection(connection), m_op(op), m_statement(u8(statement)) {
    setWindowTitle(QStringLiteral("The output to a CSV File"));

    const FileNameRow fileRow = fileNameRow(QStringLiteral("File name"), this);
    m_fileName = fileRow.field;

    QWidget* separators = buildSeparatorGroup();
    QWidget* enclosures = buildEnclosureGroup();

    // How NULL is spelled in the file: "(null)" as files of this program have always had it, or
    // another text (\N and NULL are what other readers expect) so that a text "(null)" stays a text.
    auto* nullLabel = new QLabel(QStringLiteral("NULL"), this);
    m_nullText = new QComboBox(this);
    m_nullText->setObjectName(QStringLiteral("NULL"));
    m_nullText->setEditable(true);
    m_nullText->addItems(
        {QString::fromUtf8(kCsvNull.data(), kCsvNull.size()), QStringLiteral("\\N"), QStringLiteral("NULL")});
    m_nullText->setCurrentIndex(0);

    auto* sampleLabel = new QLabel(QStringLiteral("Sample"), this);
    m_sample = new QPlainTextEdit(this);
    m_sample->setObjectName(QStringLiteral("Sample"));
    m_sample->setReadOnly(true);
    m_sample->setLineWrapMode(QPlainTextEdit::NoWrap);

    m_ok = namedButton(QStringLiteral("OK"), this);
    m_ok->setDefault(true);
    m_cancel = namedButton(QStringLiteral("Cancel"), this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fileRow.layout);
    layout->addWidget(separators);
    layout->addWidget(enclosures);
    auto* nullRow = new QHBoxLayout;
    nullRow->addWidget(nullLabel);
    nullRow->addWidget(m_nullText, 1);
    layout->addLayout(nullRow);
    layout->addWidget(sampleLabel);
    layout->addWidget(m_sample, 1);
    m_progress = new WorkProgress(this);
    layout->addWidget(m_progress);
    layout->addLayout(buttonRow({m_ok, m_cancel}));
    resize(520, 500);

    connect(fileRow.browse, &QPushButton::clicked, this, &CsvExportDialog::chooseFile);
    connect(m_ok, &QPushButton::clicked, this, &CsvExportDialog::write);
    bindStopButton(m_work, m_cancel, [this] { reject(); }, {m_ok});
    connect(m_nullText, &QComboBox::currentTextChanged, this, &CsvExportDialog::refreshSample);
    m_sampleReady = true;
}

CsvExportDialog::CsvExportDialog(Connection& connection, Operator& op, const QString& statement,
                                 const QString& database, const QString& table, QWidget* parent)
    : CsvExportDialog(connection, op, statement, parent) {
    m_sourceDatabase = u8(database);
    m_sourceTable = u8(table);
}

QWidget* CsvExportDialog::buildSeparatorGroup() {
    const ChoiceGroup g =
        buildChoiceGroup(QStringLiteral("FIELDS TERMINATES BY  "),
                         {{QStringLiteral("Comma pause"), static_cast<int>(CsvSeparator::Comma)},
                          {QStringLiteral("Tab pause"), static_cast<int>(CsvSeparator::Tab)}});
    m_separatorUser = g.byUser;
    m_separatorList = g.list;
    m_separatorText = g.text;
    return g.box;
}

QWidget* CsvExportDialog::buildEnclosureGroup() {
    const ChoiceGroup g =
        buildChoiceGroup(QStringLiteral("FIELDS ENCLOSED BY "),
                         {{QStringLiteral("none"), static_cast<int>(CsvEnclosure::None)},
                          {QStringLiteral("シングルコーテーション"), static_cast<int>(CsvEnclosure::Single)},
                          {QStringLiteral("ダブルコーテイション"), static_cast<int>(CsvEnclosure::Double)}});
    m_enclosureUser = g.byUser;
    m_enclosureList = g.list;
    m_enclosureText = g.text;
    return g.box;
}

ChoiceGroup CsvExportDialog::buildChoiceGroup(const QString& title,
                                              std::initializer_list<std::pair<QString, int>> choices) {
    ChoiceGroup g = choiceGroup(title, this);
    for (const auto& [label, value] : choices)
        g.list->addItem(label, value);
    connect(g.list, &QComboBox::currentIndexChanged, this, &CsvExportDialog::refreshSample);
    // Each of the two radio buttons reports its own switch on; the sample follows either.
    for (QRadioButton* choice : {g.byDefault, g.byUser})
        connect(choice, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                refreshSample();
        });
    connect(g.text, &QLineEdit::textChanged, this, &CsvExportDialog::refreshSample);
    return g;
}

CsvFormat CsvExportDialog::format() const {
    const auto separator = m_separatorUser->isChecked()
                               ? CsvSeparator::User
                               : static_cast<CsvSeparator>(m_separatorList->currentData().toInt());
    const auto enclosure = m_enclosureUser->isChecked()
                               ? CsvEnclosure::User
                               : static_cast<CsvEnclosure>(m_enclosureList->currentData().toInt());
    return CsvFormat(separator, enclosure, u8(m_separatorText->text()), u8(m_enclosureText->text()),
                     u8(m_nullText->currentText()));
}

void CsvExportDialog::refreshSample() {
    // While a file is written its rows occupy the session; the sample would have to wait for them.
    if (!m_sampleReady || m_writing)
        return;
    // A sample must never change anything, whatever statement the dialog was given.
    if (!isRowReadingStatement(m_statement)) {
        m_sample->setPlainText(QString());
        return;
    }
    const CsvFormat fmt = format();
    std::string text;
    if (Result rows = m_connection.select(csvSampleStatement(m_statement))) {
        while (Row row = rows.fetchRow())
            appendCsvRecord(text, fmt, row);
    }
    m_sample->setPlainText(qs(text));
}

void CsvExportDialog::chooseFile() {
    QString path = m_op.chooseSaveFile(this, QString(), QStringLiteral("CSV Form (*.csv)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    m_fileName->setText(path);
}

void CsvExportDialog::reject() {
    if (!keepOpenForWork(m_work, m_op, QStringLiteral("The output to the file")))
        QDialog::reject();
}

void CsvExportDialog::showProgress(long block, long long written) {
    const QString text = qs(csvProgressText(block * kBlockRows + 1));
    m_sample->setPlainText(text);
    m_progress->advance(static_cast<std::uint64_t>(written));
    emit progressShown(text);
}

void CsvExportDialog::guessRows(WorkControl& control) {
    if (m_sourceTable.empty())
        return;
    const TableStatusList status = readTableStatus(m_connection, m_sourceDatabase, m_sourceTable);
    if (status.read() && !status.tables.empty() && status.tables.front().rows > 0)
        control.post([this, rows = status.tables.front().rows] { m_progress->setTotal(rows, true); });
}

void CsvExportDialog::write() {
    if (m_writing)
        return;
    const QString name = m_fileName->text();
    if (name.isEmpty()) {
        m_op.inform(QStringLiteral("A file name is inputted."));
        return;
    }
    if (!isRowReadingStatement(m_statement)) {
        m_op.inform(qs(csvNotReadingText()));
        return;
    }
    // A file that the import cannot read back value for value is written only when the person knows.
    const std::string problem = csvReadBackProblem(format());
    if (!problem.empty() && !m_op.ask(qs(csvReadBackQuestion(problem))))
        return;
    TextModeFile file;
    if (!file.open(u8(name))) {
        m_op.inform(QStringLiteral("It failed in opening of a file."));
        return;
    }
    m_writing = true;
    const std::string failure = writeRows(file);
    m_writing = false;
    m_op.inform(failure.empty() ? QStringLiteral("It outputted to the file.") : qs(failure));
}

std::string CsvExportDialog::writeRows(TextModeFile& file) {
    const CsvFormat fmt = format();
    std::string failure;
    QString endText;
    // The rows are read and written beside the window, which keeps painting and answers Stop; the
    // session's connection is the export's until it ends.
    // A statement of its own has no total to measure against: the bar only moves, beside its count.
    m_progress->start();
    m_work.run({&m_connection}, [&](WorkControl& control) {
        guessRows(control);
        failure = exportRows(file, fmt, control, endText);
    });
    m_progress->finish(failure.empty());
    m_sample->setPlainText(endText);
    return failure;
}

std::string CsvExportDialog::exportRows(TextModeFile& file, const CsvFormat& fmt, WorkControl& control,
                                        QString& endText) {
    // The statement is sent once and its rows streamed, so every row is written exactly once and
    // in one order; the progress still counts blocks of 1000 rows.
    RowStream stream(m_connection);
    if (!stream.open(m_statement)) {
        const std::string error =
            m_connection.errorNumber() != 0 ? csvRefusedText(m_connection.errorLine()) : csvNotReadingText();
        file.close();
        return error;
    }
    std::string line;
    long long written = 0;
    long block = 0;
    long inBlock = 0;
    while (Row row = stream.next()) {
        line.clear();
        appendCsvRecord(line, fmt, row);
        if (!file.writeBytes(line))
            break;
        ++written;
        if (++inBlock == kBlockRows) {
            control.post([this, shown = block++, written] { showProgress(shown, written); });
            inBlock = 0;
            if (control.stopRequested())
                break;
        }
    }
    if (inBlock > 0 && !file.failed() && !control.stopRequested())
        control.post([this, block, written] { showProgress(block, written); });
    // Asked before the stream is closed: closing reads what is left and would clear the error. A stop
    // ends the statement on the server, which reads as a broken read.
    const bool stopped = control.stopRequested();
    const bool readBroken = !file.failed() && !stopped && stream.failed();
    const std::string readError = readBroken ? m_connection.errorLine() : std::string();
    stream.close();
    const bool closed = file.close();
    endText = QStringLiteral("File output stopped");
    if (!closed)
        return csvWriteFailedText(written, file.errorText());
    if (readBroken)
        return csvReadBrokenText(written, readError);
    if (stopped)
        return csvStoppedText(written);
    endText = QStringLiteral("File output end");
    return {};
}

}  // namespace velkin
