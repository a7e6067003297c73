#include "CsvImportDialog.h"

#include <QCheckBox>
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

#include "CsvFormat.h"
#include "CsvText.h"
#include "session/ColumnList.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/SqlText.h"
#include "widgets/Kit.h"
#include "widgets/Pictures.h"

namespace velkin {

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
    layout->addLayout(buttonRow({ok, cancel}));
    resize(760, 560);

    connect(fileRow.browse, &QPushButton::clicked, this, &CsvImportDialog::chooseFile);
    connect(ok, &QPushButton::clicked, this, &CsvImportDialog::import);
    connect(exportSettings, &QPushButton::clicked, this, &CsvImportDialog::useExportSettings);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_databases, &QListWidget::currentItemChanged, this, &CsvImportDialog::chooseDatabase);
    connect(m_tables, &QListWidget::currentItemChanged, this, &CsvImportDialog::chooseTable);
    connect(m_nullText, &QLineEdit::textChanged, this, &CsvImportDialog::showNullNote);
    connect(m_enclosed, &QLineEdit::textChanged, this, &CsvImportDialog::showNullNote);

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
    m_nullNote->setHidden(serverKeepsNullApart(nullSpelling(), u8(m_enclosed->text())));
}

void CsvImportDialog::useExportSettings() {
    // The export's default file: comma pause, values in double quotes only where they need them,
    // no escaping, CR LF line ends, NULL as "(null)".
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
    return loadDataStatement(options(), [this](std::string_view text) { return m_connection.escape(text); });
}

void CsvImportDialog::import() {
    WaitCursor wait(m_op);
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
    const std::string sql = statement();
    // The client reads a local file for this statement only; the server still decides whether it
    // takes one, and says so in its error text when it does not.
    const bool local = m_local->isChecked();
    if (local)
        m_connection.setLocalInfile(true);
    const int failed = m_connection.query(sql);
    if (local)
        m_connection.setLocalInfile(false);
    if (failed != 0) {
        const std::string errorText = m_connection.errorText();
        std::optional<bool> transactional;
        if (Result engine = m_connection.select(tableTransactionsQuery(m_connection, m_database, m_table)))
            if (Row row = engine.fetchRow())
                transactional = row.text(0) == "YES";
        m_op.inform(qs(loadRefusedReport(transactional, errorText)));
        return;
    }
    // The server's own line says how many rows were skipped or raised warnings; its first warning
    // says why, and must be asked for before any other statement.
    const std::string info = m_connection.info();
    std::string firstWarning;
    const std::optional<LoadDataCounts> counts = parseLoadDataInfo(info);
    if (!counts || counts->warnings > 0) {
        if (Result warnings = m_connection.select(firstWarningStatement()))
            if (Row row = warnings.fetchRow())
                firstWarning = std::string(row.text(0)) + " " + std::string(row.text(1)) + ": " +
                               std::string(row.text(2));
    }
    m_op.inform(qs(loadDataReport(info, firstWarning)));
}

}  // namespace velkin
