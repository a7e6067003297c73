#include "CsvImportDialog.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "CopyText.h"
#include "CsvFormat.h"
#include "CsvText.h"
#include "TransferMessages.h"
#include "WorkButtons.h"
#include "session/ColumnList.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/SqlText.h"
#include "widgets/Kit.h"
#include "widgets/Pictures.h"
#include "widgets/WorkProgress.h"

namespace velkin {

namespace {

/// The client library's code for a load whose rows the client could not hand over.
constexpr unsigned kFileEndedByClient = 2000;
/// The server's code for a statement that KILL QUERY ended.
constexpr unsigned kQueryInterrupted = 1317;
constexpr qint64 kProgressEveryMs = 200;

/// Reads the local file block by block beside the window and hands the client library its records
/// in the server's row form: counts what went, tells it a few times a second, and ends the rows
/// early once Stop was asked for. The stop has normally ended the statement on the server by then;
/// where it has not, the server takes what arrived for the whole file, and the report says so.
class FileFeed {
public:
    using Show = std::function<void(unsigned long long sent, unsigned long long records)>;

    FileFeed(std::ifstream& file, CsvRecordReader& reader, const WorkControl& control, Show show)
        : m_file(file), m_reader(reader), m_control(control), m_show(std::move(show)) {
        m_clock.start();
    }

    long read(char* buffer, unsigned int length) {
        if (m_control.stopRequested())
            return -1;
        // Only what the client asks for next is held: a file of any size passes through a few blocks.
        while (m_rows.size() - m_given < length && !m_ended) {
            m_rows.erase(0, m_given);
            m_given = 0;
            m_file.read(m_block, sizeof m_block);
            const std::streamsize got = m_file.gcount();
            if (got <= 0) {
                if (m_file.bad()) {
                    m_error = std::strerror(errno);
                    return -1;
                }
                m_reader.finish(m_rows);
                m_ended = true;
                break;
            }
            m_sent += static_cast<unsigned long long>(got);
            m_reader.feed(std::string_view(m_block, static_cast<std::size_t>(got)), m_rows);
            if (m_clock.elapsed() >= kProgressEveryMs) {
                m_show(m_sent, m_reader.notes().records);
                m_clock.restart();
            }
        }
        const std::size_t n = std::min<std::size_t>(length, m_rows.size() - m_given);
        std::memcpy(buffer, m_rows.data() + m_given, n);
        m_given += n;
        if (n == 0)
            m_show(m_sent, m_reader.notes().records);
        return static_cast<long>(n);
    }
    unsigned long long sent() const { return m_sent; }
    const std::string& error() const { return m_error; }
    /// The whole file was read and its rows handed over.
    bool ended() const { return m_ended && m_given == m_rows.size(); }

private:
    std::ifstream& m_file;
    CsvRecordReader& m_reader;
    const WorkControl& m_control;
    Show m_show;
    QElapsedTimer m_clock;
    char m_block[65536];
    std::string m_rows;
    std::size_t m_given = 0;
    bool m_ended = false;
    unsigned long long m_sent = 0;
    std::string m_error;
};

}  // namespace

std::optional<std::string> csvPreview(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::string text;
    char chunk[1024];
    for (int i = 0; i < 8; ++i) {
        const qint64 read = file.readLine(chunk, sizeof chunk);
        if (read <= 0)
            break;
        text.append(chunk, static_cast<std::size_t>(read));
    }
    return text;
}

CsvImportDialog::CsvImportDialog(Connection& connection, Operator& op, QWidget* parent)
    : QDialog(parent), m_connection(connection), m_op(op) {
    setWindowTitle(QStringLiteral("Import from CSV"));

    const FileNameRow fileRow = fileNameRow(QStringLiteral("File name"), this);
    m_fileName = fileRow.field;

    m_local = namedCheckBox(QStringLiteral("The file of a client is imported."), this);
    m_lowPriority =
        namedCheckBox(QStringLiteral("It waits until reading of other threads is completed"), this);
    m_replace = namedCheckBox(QStringLiteral("It overwrites, when the same record exists."), this);

    auto* fields = namedGroup(QStringLiteral("Setting Field"), this);
    m_terminated = namedLineEdit(QStringLiteral("TERMINATED"), fields);
    m_enclosed = namedLineEdit(QStringLiteral("OPTIONALLY"), fields);
    m_escaped = namedLineEdit(QStringLiteral("ESCAPED"), fields);
    auto* fieldGrid = new QGridLayout(fields);
    fieldGrid->addWidget(new QLabel(QStringLiteral("TERMINATED"), fields), 0, 0);
    fieldGrid->addWidget(m_terminated, 0, 1);
    fieldGrid->addWidget(new QLabel(QStringLiteral("Default \\t"), fields), 0, 2);
    fieldGrid->addWidget(new QLabel(QStringLiteral("OPTIONALLY"), fields), 1, 0);
    fieldGrid->addWidget(m_enclosed, 1, 1);
    fieldGrid->addWidget(new QLabel(QStringLiteral("Default none"), fields), 1, 2);
    fieldGrid->addWidget(new QLabel(QStringLiteral("ESCAPED"), fields), 2, 0);
    fieldGrid->addWidget(m_escaped, 2, 1);
    fieldGrid->addWidget(new QLabel(QStringLiteral("Default \\"), fields), 2, 2);
    // The escape is the one field whose empty text cannot say "no escape": it says the server's
    // backslash. A file written with plain CSV quoting needs none, or every backslash in it is lost.
    m_escaped->setPlaceholderText(QStringLiteral("none = no escape character"));
    m_escaped->setToolTip(
        QStringLiteral("\\t \\n \\r \\\\ \\0 stand for their characters; none for no escape character"));
    auto* exportSettings = namedButton(QStringLiteral("Settings of the CSV export"), fields);
    fieldGrid->addWidget(exportSettings, 3, 1, 1, 2);

    m_linesTerminated = namedLineEdit(QStringLiteral("LINES_TERMINATED"), this);
    m_ignoreLines = namedLineEdit(QStringLiteral("The position disregarded from the head of a file"), this);
    m_nullText = namedLineEdit(QStringLiteral("NULL"), this);
    m_nullText->setText(QString::fromUtf8(kCsvNull.data(), static_cast<int>(kCsvNull.size())));
    // The server takes a field's enclosure away before the statement sees it, so it cannot keep the
    // spelling apart from a quoted text of the same letters; the operator learns it before importing.
    m_nullNote =
        new QLabel(QStringLiteral("A text equal to this spelling becomes NULL too, even in quotes; "
                                  "only the spelling NULL keeps the two apart. "
                                  "Round trips exactly: NULL with an enclosure; \\N, (null) and any "
                                  "other spelling whenever no text is that spelling, byte for byte."),
                   this);
    m_nullNote->setObjectName(QStringLiteral("NULL note"));
    m_nullNote->setWordWrap(true);
    auto* note = new QLabel(
        QStringLiteral("* A default becomes effective when anything does not have an input."), this);

    m_target = namedLineEdit(QStringLiteral("target"), this, FieldMode::ReadOnly);
    m_databases = largeIconList(QStringLiteral("database list"), this, 130, 64);
    m_tables = largeIconList(QStringLiteral("table list"), this, 130, 64);
    m_preview = new QPlainTextEdit(this);
    m_preview->setObjectName(QStringLiteral("preview"));
    m_preview->setReadOnly(true);
    m_preview->setLineWrapMode(QPlainTextEdit::NoWrap);

    m_progress = new WorkProgress(this);

    auto* ok = namedButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    auto* cancel = namedButton(QStringLiteral("Cancel"), this);

    auto* lines = new QGridLayout;
    lines->addWidget(new QLabel(QStringLiteral("LINES_TERMINATED"), this), 0, 0);
    lines->addWidget(m_linesTerminated, 0, 1);
    lines->addWidget(new QLabel(QStringLiteral("Default \\n"), this), 0, 2);
    lines->addWidget(new QLabel(QStringLiteral("The position disregarded from the head of a file"), this), 1,
                     0);
    lines->addWidget(m_ignoreLines, 1, 1);
    lines->addWidget(new QLabel(QStringLiteral("NULL"), this), 2, 0);
    lines->addWidget(m_nullText, 2, 1);
    lines->addWidget(new QLabel(QStringLiteral("Default (null)"), this), 2, 2);
    lines->addWidget(m_nullNote, 3, 0, 1, 3);
    auto* left = new QVBoxLayout;
    left->addLayout(fileRow.layout);
    left->addWidget(m_local);
    left->addWidget(m_lowPriority);
    left->addWidget(m_replace);
    left->addWidget(fields);
    left->addLayout(lines);
    left->addWidget(note);
    auto* listsGrid = new QGridLayout;
    listsGrid->addWidget(m_target, 0, 0, 1, 2);
    listsGrid->addWidget(m_databases, 1, 0);
    listsGrid->addWidget(m_tables, 1, 1);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addLayout(listsGrid, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 2);
    layout->addWidget(m_preview, 1);
    layout->addWidget(m_progress);
    layout->addLayout(buttonRow({ok, cancel}));
    resize(760, 560);

    connect(fileRow.browse, &QPushButton::clicked, this, &CsvImportDialog::chooseFile);
    connect(ok, &QPushButton::clicked, this, &CsvImportDialog::import);
    connect(exportSettings, &QPushButton::clicked, this, &CsvImportDialog::useExportSettings);
    // While the file goes, Cancel is its Stop and nothing may start it again or use the session.
    bindStopButton(m_work, cancel, [this] { reject(); },
                   {ok, fileRow.browse, exportSettings, m_databases, m_tables});
    m_serverTick.setInterval(500);
    connect(&m_serverTick, &QTimer::timeout, this,
            [this] { m_progress->setText(qs(serverReadsProgressText(m_progress->elapsedMs()))); });
    connect(m_databases, &QListWidget::currentItemChanged, this, &CsvImportDialog::chooseDatabase);
    connect(m_tables, &QListWidget::currentItemChanged, this, &CsvImportDialog::chooseTable);
    connect(m_nullText, &QLineEdit::textChanged, this, &CsvImportDialog::showNullNote);
    connect(m_enclosed, &QLineEdit::textChanged, this, &CsvImportDialog::showNullNote);
    connect(m_local, &QCheckBox::toggled, this, &CsvImportDialog::showNullNote);

    showNullNote();
    fillDatabases();
}

void CsvImportDialog::fillDatabases() {
    Result dbs = m_connection.select(showDatabasesStatement());
    const QIcon picture = largeDatabasePicture();
    while (Row row = dbs.fetchRow())
        new QListWidgetItem(picture, qs(row.text(0)), m_databases);
}

void CsvImportDialog::chooseDatabase(QListWidgetItem* item) {
    m_database = item ? u8(item->text()) : std::string();
    // The old table and its target go before the new tables arrive, so that a failing database
    // never leaves the previous table as the import's target.
    m_tables->clear();
    m_table.clear();
    m_fields.clear();
    m_target->clear();
    if (m_database.empty())
        return;
    if (m_connection.query(useDatabaseStatement(m_connection, m_database)) != 0)
        return;
    Result tables = m_connection.select(showTablesStatement());
    if (!tables)
        return;
    const QIcon picture = largeTablePicture();
    while (Row row = tables.fetchRow())
        new QListWidgetItem(picture, qs(row.text(0)), m_tables);
    m_target->clear();
}

void CsvImportDialog::chooseTable(QListWidgetItem* item) {
    if (!item)
        return;
    m_table = u8(item->text());
    m_target->setText(textf("%s.%s", m_database, m_table));
    loadColumns();
}

void CsvImportDialog::loadColumns() {
    m_fields.clear();
    const auto lines = readFieldLines(m_connection, m_database, m_table);
    if (!lines)
        return;
    for (const FieldLine& line : *lines) {
        const LoadColumnKind kind = loadColumnKind(line.cell(5));
        if (kind != LoadColumnKind::Absent)
            m_fields.push_back({quoteName(m_connection, line.name()), kind == LoadColumnKind::Generated});
    }
}

std::string CsvImportDialog::nullSpelling() const {
    // Like the other fields, an empty NULL field means its default, the export's own spelling.
    return m_nullText->text().isEmpty() ? std::string(kCsvNull) : u8(m_nullText->text());
}

void CsvImportDialog::showNullNote() {
    // The program reads a file of the client and keeps an enclosed text apart from the bare spelling;
    // without an enclosure nothing can.
    const bool enclosed = !m_enclosed->text().isEmpty();
    if (m_local->isChecked())
        m_nullNote->setText(QStringLiteral(
            "Without an enclosure a text equal to this spelling cannot be told from NULL and becomes NULL."));
    else
        m_nullNote->setText(QStringLiteral(
            "Read by the server, a text equal to this spelling becomes NULL too, even in quotes; only "
            "the spelling NULL keeps the two apart. The file of a client is read exactly."));
    m_nullNote->setHidden(
        m_local->isChecked() ? enclosed : serverKeepsNullApart(nullSpelling(), u8(m_enclosed->text())));
}

void CsvImportDialog::useExportSettings() {
    // The export's default file: comma pause, values in double quotes only where they need them,
    // no escaping, CR LF line ends, NULL as "(null)". It lies on the client's disk, and only the
    // client's reading keeps the texts apart from NULL.
    m_local->setChecked(true);
    m_terminated->setText(QStringLiteral(","));
    m_enclosed->setText(QStringLiteral("\""));
    m_escaped->setText(QString::fromUtf8(kNoEscape.data(), static_cast<int>(kNoEscape.size())));
    m_linesTerminated->setText(QStringLiteral("\\r\\n"));
    m_nullText->setText(QString::fromUtf8(kCsvNull.data(), static_cast<int>(kCsvNull.size())));
}

void CsvImportDialog::chooseFile() {
    const QString path = m_op.chooseOpenFile(this, QString(), QStringLiteral("CSV form (*.csv)"));
    if (path.isEmpty())
        return;
    m_fileName->setText(path);
    showPreview(path);
}

void CsvImportDialog::showPreview(const QString& path) {
    std::optional<std::string> text = csvPreview(u8(path));
    if (!text)
        return;
    m_preview->setPlainText(qs(*text));
}

LoadDataOptions CsvImportDialog::options() const {
    LoadDataOptions o;
    o.fileName = u8(m_fileName->text());
    o.lowPriority = m_lowPriority->isChecked();
    o.local = m_local->isChecked();
    o.replace = m_replace->isChecked();
    o.target = qualifiedName(m_connection, m_database, m_table);
    o.fieldsTerminated = u8(m_terminated->text());
    o.fieldsEnclosed = u8(m_enclosed->text());
    o.fieldsEscaped = u8(m_escaped->text());
    o.linesTerminated = u8(m_linesTerminated->text());
    o.ignoreLines = u8(m_ignoreLines->text());
    o.characterSet = m_connection.characterSet();
    o.nullText = nullSpelling();
    o.fields = m_fields;
    return o;
}

std::string CsvImportDialog::statement() const {
    const EscapeText escape = [this](std::string_view text) { return m_connection.escape(text); };
    // A file of the client is read by the program, which hands the server rows in its own form.
    return m_local->isChecked() ? loadStreamStatement(options(), escape)
                                : loadDataStatement(options(), escape);
}

void CsvImportDialog::reject() {
    if (!keepOpenForWork(m_work, m_op, QStringLiteral("The import")))
        QDialog::reject();
}

void CsvImportDialog::import() {
    if (m_work.running())
        return;
    if (m_fileName->text().isEmpty()) {
        m_op.inform(QStringLiteral("A file name is inputted."));
        return;
    }
    if (m_target->text().isEmpty()) {
        m_op.inform(QStringLiteral("The table to import is chosen."));
        return;
    }
    if (!m_op.ask(QStringLiteral("May I import from a CSV to a database?"))) {
        m_op.inform(QStringLiteral("Import was stopped."));
        return;
    }
    const LoadDataOptions opts = options();
    const std::string sql = statement();
    // The client reads a local file for this statement only; the server still decides whether it
    // takes one, and says so in its error text when it does not.
    std::ifstream file;
    unsigned long long fileBytes = 0;
    if (m_local->isChecked()) {
        file.open(u8(m_fileName->text()), std::ios::binary | std::ios::ate);
        if (!file) {
            m_op.inform(qs(importFileNotOpenedText(std::strerror(errno))));
            return;
        }
        fileBytes = static_cast<unsigned long long>(std::max<std::streamoff>(file.tellg(), 0));
        file.seekg(0);
    }
    const LoadEnd end = runLoad(sql, opts, m_local->isChecked() ? &file : nullptr, fileBytes);
    report(end, fileBytes);
}

CsvImportDialog::LoadEnd CsvImportDialog::runLoad(const std::string& sql, const LoadDataOptions& options,
                                                  std::ifstream* file, unsigned long long fileBytes) {
    m_fileBytes = fileBytes;
    m_lines = 0;
    // The bar measures the bytes of the file; its line tells them in the import's own words.
    m_progress->startOwn();
    // A file on the server's host has a size only the server knows: the bar just shows that it works.
    if (!file) {
        m_progress->showBusy(true);
        m_serverTick.start();
    }
    LoadEnd end;
    // The statement runs beside the window, which keeps painting and answers Stop; the session's
    // connection is the import's until it ends.
    m_work.run({&m_connection}, [&](WorkControl& control) { end = sendLoad(sql, options, file, control); });
    end.stopped = end.stopped || m_work.stopRequested();
    m_serverTick.stop();
    m_progress->showBusy(false);
    if (file)
        showProgress(end.bytesSent, m_lines);
    else
        m_progress->showOwn(end.status == 0 ? 1 : 0, 1, qs(serverReadsProgressText(m_progress->elapsedMs())));
    return end;
}

CsvImportDialog::LoadEnd CsvImportDialog::sendLoad(const std::string& sql, const LoadDataOptions& options,
                                                   std::ifstream* file, WorkControl& control) {
    LoadEnd end;
    if (file) {
        CsvRecordReader reader(csvReadFormat(options));
        FileFeed feed(*file, reader, control,
                      [this, &control](unsigned long long sent, unsigned long long records) {
                          control.post([this, sent, records] { showProgress(sent, records); });
                      });
        end.status = m_connection.loadLocal(
            sql, [&feed](char* buffer, unsigned int length) { return feed.read(buffer, length); });
        end.bytesSent = feed.sent();
        end.readError = feed.error();
        if (feed.ended())
            end.readWarnings = csvReadWarnings(reader.notes(), options.nullText.value_or(std::string()));
    } else {
        end.status = m_connection.query(sql);
        end.serverNullWarning = serverNullWarning(options.nullText, options.fieldsEnclosed);
    }
    if (end.status == 0) {
        // The server's own line says how many rows were skipped or raised warnings; its first
        // warning says why, and must be asked for before any other statement.
        end.info = m_connection.info();
        const std::optional<LoadDataCounts> counts = parseLoadDataInfo(end.info);
        if (!counts || counts->warnings > 0) {
            if (Result warnings = m_connection.select(firstWarningStatement()))
                if (Row row = warnings.fetchRow())
                    end.firstWarning = std::string(row.text(0)) + " " + std::string(row.text(1)) + ": " +
                                       std::string(row.text(2));
        }
        return end;
    }
    end.errorNumber = m_connection.errorNumber();
    end.errorText = m_connection.errorText();
    end.errorLine = m_connection.errorLine();
    // Stop ends the statement before it raises the flag, so a statement the server interrupted
    // counts as stopped even where the flag is not up yet.
    end.stopped = control.stopRequested() || end.errorNumber == kQueryInterrupted;
    const bool endedEarly = end.stopped || !end.readError.empty();
    learnWhatStayed(end, file && endedEarly && end.errorNumber == kFileEndedByClient);
    return end;
}

void CsvImportDialog::learnWhatStayed(LoadEnd& end, bool clientEndedFile) {
    // When the client ended the file, the server finished the statement on what had arrived; the
    // count of that statement is asked before any other.
    if (clientEndedFile)
        if (Result count = m_connection.select(rowCountStatement()))
            if (Row row = count.fetchRow())
                if (row.text(0) != "-1")
                    end.keptRecords = std::strtoull(std::string(row.text(0)).c_str(), nullptr, 10);
    if (Result engine = m_connection.select(tableTransactionsQuery(m_connection, m_database, m_table)))
        if (Row row = engine.fetchRow())
            end.transactional = row.text(0) == "YES";
    // A table without transactions keeps what an ended load wrote; its count says how much it holds.
    if (end.stopped && !clientEndedFile && end.transactional == false)
        if (Result count =
                m_connection.select(countStatement(qualifiedName(m_connection, m_database, m_table))))
            if (Row row = count.fetchRow())
                end.tableRecords = std::strtoull(std::string(row.text(0)).c_str(), nullptr, 10);
}

void CsvImportDialog::showProgress(unsigned long long sent, unsigned long long lines) {
    m_lines = lines;
    m_progress->showOwn(sent, m_fileBytes,
                        qs(importProgressText(sent, m_fileBytes, lines, m_progress->elapsedMs())));
}

void CsvImportDialog::report(const LoadEnd& end, unsigned long long fileBytes) {
    if (end.status == 0) {
        std::string text = loadDataReport(end.info, end.firstWarning, end.readWarnings);
        if (!end.serverNullWarning.empty())
            text += "\n" + end.serverNullWarning;
        m_op.inform(qs(text));
        return;
    }
    if (!end.stopped && end.readError.empty()) {
        m_op.inform(qs(loadRefusedReport(end.transactional, end.errorText)));
        return;
    }
    LoadCutShort facts;
    facts.serverEnded = end.errorNumber != kFileEndedByClient;
    facts.readError = end.stopped ? std::string() : end.readError;
    facts.transactional = end.transactional;
    facts.tableRecords = end.tableRecords;
    facts.keptRecords = end.keptRecords;
    facts.bytesSent = end.bytesSent;
    facts.fileBytes = fileBytes;
    facts.errorLine = end.errorLine;
    m_op.inform(qs(loadCutShortReport(facts)));
}

}  // namespace velkin
