// Measures the screens that move many rows -- the record list, the SQL console, the CSV export, the
// table duplicate with its row copy and the table dump -- side by side with the command-line tools
// doing the same work on the same private server and the same data, and prints one line per case:
//   case: ours 1.234 s, theirs 1.111 s (tool), ratio 1.11
// Every time is the median of several runs; ours and theirs take turns.
//
//   sorvane_bench [rows [runs [parts]]]
// rows defaults to 1000000, runs to 5, parts to console,list,csv,copy,dump (copy-myisam,
// copy-other and stall are extra; all is every part).

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTableView>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "BenchViewHost.h"
#include "ConsoleBench.h"
#include "CopyBench.h"
#include "SshBench.h"
#include "StallBench.h"
#include "StatusBench.h"
#include "session/CSorvaneDoc.h"
#include "session/Connection.h"
#include "session/RowModel.h"
#include "session/SqlText.h"
#include "transfer/CsvExportDialog.h"
#include "transfer/MaintenanceDialog.h"
#include "transfer/SqlConsoleDialog.h"
#include "transfer/TableDuplicateDialog.h"
#include "views/CSorvaneView.h"
#include "views/RecordListText.h"

using namespace velkin;
using namespace velkin::bench;

namespace {

constexpr const char* kDatabase = "velkin_bench";
constexpr const char* kTable = "t";
constexpr const char* kCopyDatabase = "velkin_bench_copy";
/// Kept in the table's comment: data made by another version of the benchmark is made anew.
constexpr const char* kDataMark = "velkin bench data 2";
constexpr const char* kColumns =
    "id INT, name VARCHAR(32), note TEXT NULL, amount DECIMAL(12,2), created DATE, changed DATETIME NULL, "
    "quantity INT NULL";
constexpr int kPageLength = 100;
constexpr double kMb = 1024.0 * 1024.0;

const std::string kBenchDir = VELKIN_BENCH_DIR;
const std::string kSourceDir = VELKIN_SOURCE_DIR;

std::string baseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string mb(double bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", bytes / kMb);
    return text;
}

/// Lets the screens handle what is pending, their painting above all.
void letScreensPaint() {
    QApplication::processEvents();
}

std::string scalarOf(Connection& c, const std::string& sql) {
    Result r = c.select(sql);
    Row row = r.fetchRow();
    return row ? row.str(0) : std::string("(none)");
}

void problem(const std::string& text) {
    std::cerr << "CHECK FAILED: " << text << std::endl;
}

/// The private server in the build tree, stopped at the end unless VELKIN_BENCH_KEEP_SERVER is set.
class PrivateServer {
public:
    explicit PrivateServer(std::string dir) : m_dir(std::move(dir)) {
        m_port = shellOutput(kSourceDir + "/scripts/testserver start " + m_dir);
    }
    ~PrivateServer() {
        if (!m_port.empty() && !std::getenv("VELKIN_BENCH_KEEP_SERVER"))
            std::system((kSourceDir + "/scripts/testserver stop " + m_dir).c_str());
    }
    PrivateServer(const PrivateServer&) = delete;
    PrivateServer& operator=(const PrivateServer&) = delete;
    const std::string& port() const { return m_port; }
    long pid() const { return std::atol(shellOutput("cat " + m_dir + "/server.pid 2>/dev/null").c_str()); }

private:
    std::string m_dir;
    std::string m_port;
};

/// What every case needs: the session's connection, the tools and how they log in.
struct Bench {
    Bench(Connection& session, std::string serverPort, long rowCount, int runCount)
        : connection(session), port(std::move(serverPort)), rows(rowCount), runs(runCount) {}

    Connection& connection;
    std::string port;
    long rows;
    int runs;
    SilentOperator op;
    std::string client = tool({"mariadb", "mysql"});
    std::string dumper = tool({"mariadb-dump", "mysqldump"});

    /// The tools' login, over TCP as ours, and in the character set the session uses.
    std::string login() const {
        return " --no-defaults --default-character-set=utf8mb4 -h127.0.0.1 -P" + port + " -uroot";
    }
    std::string batch(const std::string& statements) const {
        return client + login() + " --batch -e \"" + statements + "\"";
    }
    LoginValues loginValues() const { return {"root", "", "127.0.0.1", QString::fromStdString(port)}; }
    std::string table() const { return std::string(kDatabase) + "." + kTable; }
    std::string file(const char* name) const { return kBenchDir + "/" + name; }
};

/// Runs a command as a contender's timed work; its peak memory goes to peaks when given.
std::function<void()> shellWork(const std::string& command, std::vector<long>* peaks = nullptr) {
    return [command, peaks] {
        const ShellRun run = runShell(command);
        if (peaks)
            peaks->push_back(run.peakKb);
    };
}

/// The benchmark table: integers, short and long text, decimals, dates, and nullable columns with
/// NULL in a part of the rows; some notes hold quotes and non-ASCII text, which the copy and the dump
/// must escape. Made once and kept for later runs with the same row count.
bool fill(Connection& c, long rows) {
    const std::string mark = scalarOf(c, sqlf("SELECT TABLE_COMMENT FROM information_schema.TABLES WHERE "
                                              "TABLE_SCHEMA = '%s' AND TABLE_NAME = '%s'",
                                              kDatabase, kTable));
    if (mark == kDataMark &&
        scalarOf(c, sqlf("SELECT COUNT(*) FROM %s.%s", kDatabase, kTable)) == std::to_string(rows))
        return true;
    std::printf("filling %ld rows...\n", rows);
    std::fflush(stdout);
    c.query(sqlf("DROP DATABASE IF EXISTS %s", kDatabase));
    c.query(sqlf("CREATE DATABASE %s", kDatabase));
    c.query(
        sqlf("CREATE TABLE %s.%s (id INT NOT NULL PRIMARY KEY, name VARCHAR(32) NOT NULL, note TEXT NULL, "
             "amount DECIMAL(12,2) NOT NULL, created DATE NOT NULL, changed DATETIME NULL, quantity INT "
             "NULL) ENGINE=InnoDB COMMENT='%s'",
             kDatabase, kTable, kDataMark));
    const std::string insert = sqlf(
        "INSERT INTO %s.%s SELECT seq, CONCAT('name-', seq), "
        "IF(seq %% 5 = 0, NULL, CONCAT('note for row ', seq, IF(seq %% 3 = 0, ' – O''Brien''s \"copy\" ü', "
        "' of the benchmark'))), "
        "seq * 1.25, '2000-01-01' + INTERVAL (seq %% 9000) DAY, "
        "IF(seq %% 3 = 0, NULL, '2024-01-01 00:00:00' + INTERVAL seq SECOND), "
        "IF(seq %% 7 = 0, NULL, seq %% 1000) FROM %s.seq_1_to_%ld",
        kDatabase, kTable, kDatabase, rows);
    if (c.query(insert) != 0) {
        std::cerr << "filling failed: " << c.errorLine() << std::endl;
        return false;
    }
    return true;
}

long long statusValue(Connection& c, const char* name) {
    Result r = c.select(sqlf("SHOW GLOBAL STATUS LIKE '%s'", name));
    Row row = r.fetchRow();
    return row ? std::atoll(row.str(1).c_str()) : 0;
}

/// Waits until the server has written out the pages that earlier work changed and has purged what
/// it left behind, so that a run does not pay for the work before it; gives up after a minute.
void settleServer(Connection& c) {
    const std::string dirtyShare = scalarOf(c, "SELECT @@GLOBAL.innodb_max_dirty_pages_pct");
    c.query("SET GLOBAL innodb_max_dirty_pages_pct = 0");
    for (int i = 0; i < 600; ++i) {
        if (statusValue(c, "Innodb_buffer_pool_pages_dirty") == 0 &&
            statusValue(c, "Innodb_history_list_length") == 0)
            break;
        QThread::msleep(100);
    }
    c.query("SET GLOBAL innodb_max_dirty_pages_pct = " + dirtyShare);
}

/// Rows and a sum over every cell of a table, NULLs told apart from empty text: equal for two tables
/// that hold the same rows, whatever their engines store.
std::string fingerprint(Connection& c, const std::string& table) {
    Result r = c.select(sqlf(
        "SELECT COUNT(*), SUM(CRC32(CONCAT_WS('|', id, name, ISNULL(note), IFNULL(note, ''), "
        "amount, created, ISNULL(changed), IFNULL(changed, ''), ISNULL(quantity), IFNULL(quantity, '')))) "
        "FROM %s",
        table));
    Row row = r.fetchRow();
    return row ? row.str(0) + " rows, sum " + row.str(1) : std::string("(none: ") + c.errorText() + ")";
}

// ---- record list ---------------------------------------------------------------------------------

/// A page of the record list with its count, as the tree's selection of the table and the page keys
/// fill it: the real list refreshes on a session of its own and paints its first screen.
void measureRecordList(Bench& b) {
    SilentPanes panes;
    const LoginValues login = b.loginValues();
    CSorvaneDoc doc(
        b.op, [login](const QString&, const QString&) { return std::optional<LoginValues>(login); }, &panes);
    if (doc.Connect() != ConnectResult::Admin) {
        problem("the record list's session did not log in as the administrator");
        return;
    }
    doc.select(Selection{QString::fromLatin1(kDatabase), QString::fromLatin1(kTable),
                         QString::fromLatin1(kTable), NodeKind::Table, ChartKind::None});
    BenchViewHost host;
    CSorvaneView list(doc, b.op, host);
    host.setRecordList(&list);
    list.resize(1000, 700);
    list.show();
    letScreensPaint();

    const int lastPage = static_cast<int>(std::max(0L, (b.rows - 1) / kPageLength));
    std::vector<int> pages{0};
    // A deep page in the middle, where neither end is near.
    if (lastPage > 5000)
        pages.push_back(4999);
    pages.push_back(lastPage);
    for (const int page : pages) {
        const std::string statements =
            pageStatement(b.connection.dialect(), kDatabase, kTable, page, kPageLength) + "; " +
            countStatement(b.connection.dialect(), kDatabase, kTable);
        const long first = static_cast<long>(page) * kPageLength + 1;
        const long last = std::min(b.rows, first + kPageLength - 1);
        Contender ours{"VelkinSorvane"};
        std::vector<double> shown;
        ours.prepare = [&] { list.setPage(page, kPageLength); };
        ours.work = [&] {
            host.m_panes.shownBeforeCount.reset();
            const auto start = std::chrono::steady_clock::now();
            list.refresh();
            letScreensPaint();
            // A big InnoDB table shows its page with the estimate and counts afterwards.
            if (host.m_panes.shownBeforeCount)
                shown.push_back(
                    std::chrono::duration<double>(*host.m_panes.shownBeforeCount - start).count());
        };
        ours.check = [&] {
            if (list.rowCount() != last - first + 1 || list.paging().count != b.rows)
                problem(sqlf("the record list shows %d rows of %d counted", list.rowCount(),
                             list.paging().count));
            else if (list.cellText(0, 0) != QString::number(first))
                problem("the record list's page starts at id " + list.cellText(0, 0).toStdString());
        };
        Contender theirs{baseName(b.client) + " --batch"};
        theirs.work = shellWork(b.batch(statements) + " > /dev/null");
        race(b.runs, {&ours, &theirs});
        printCase(
            sqlf("record list page %d of %d (rows %ld-%ld) and count", page + 1, lastPage + 1, first, last),
            ours, theirs);
        if (!shown.empty())
            std::printf("  page shown before the count: %.3f s (median)\n", median(shown));
    }
}

// ---- SQL console ---------------------------------------------------------------------------------

/// "Execution" of the whole table in a console opened anew for every run, until the list has painted
/// its first screen; and the memory that the answer takes, against the bytes of its cells.
void measureConsole(Bench& b) {
    const std::string select = "select * from " + b.table();
    std::unique_ptr<SqlConsoleDialog> console;
    long rssBefore = 0;
    long peakGrowthKb = -1;
    long heldGrowthKb = 0;
    std::size_t rawBytes = 0;
    Contender ours{"VelkinSorvane"};
    ours.prepare = [&] {
        // A run starts where a person starts: the console just opened, the statement typed.
        console.reset();
        console = std::make_unique<SqlConsoleDialog>(b.connection, b.op);
        console->resize(900, 700);
        console->show();
        console->findChild<QPlainTextEdit*>("Query")->setPlainText(QString::fromStdString(select));
        letScreensPaint();
        rssBefore = statusKb("VmRSS:");
        resetPeak();
    };
    ours.work = [&] {
        console->execute();
        letScreensPaint();
    };
    // The first run's heap is fresh, so its growth is the answer's own.
    ours.check = [&] {
        peakGrowthKb = statusKb("VmHWM:") - rssBefore;
        heldGrowthKb = statusKb("VmRSS:") - rssBefore;
        rawBytes = console->rows().byteSize();
        if (console->rows().rows() != b.rows)
            problem(sqlf("the console shows %d rows", console->rows().rows()));
    };
    std::vector<long> theirPeaks;
    Contender theirs{baseName(b.client) + " --batch > /dev/null"};
    theirs.work = shellWork(b.batch(select) + " > /dev/null", &theirPeaks);
    race(b.runs, {&ours, &theirs});
    // Scrolling through the whole answer as the grid paints it: the slowest of twenty jumps.
    double slowestFrame = 0;
    if (auto* grid = console->findChild<QTableView*>(QStringLiteral("result list"))) {
        QScrollBar* bar = grid->verticalScrollBar();
        for (int step = 0; step <= 20; ++step)
            slowestFrame = std::max(
                slowestFrame, seconds([&] {
                    bar->setValue(static_cast<int>(static_cast<long long>(bar->maximum()) * step / 20));
                    grid->viewport()->repaint();
                }));
    }
    console.reset();
    printCase("SQL console, whole table shown", ours, theirs);
    std::printf("SQL console, slowest scroll frame over %ld rows: %.1f ms\n", b.rows, slowestFrame * 1000);

    std::vector<double> peaks(theirPeaks.begin(), theirPeaks.end());
    std::printf(
        "SQL console peak memory: ours +%s, raw data %s, ratio %.2f (+%s held once shown; %s --batch peaks "
        "at %s resident in all)\n",
        mb(peakGrowthKb * 1024.0).c_str(), mb(static_cast<double>(rawBytes)).c_str(),
        rawBytes ? peakGrowthKb * 1024.0 / static_cast<double>(rawBytes) : 0.0,
        mb(heldGrowthKb * 1024.0).c_str(), baseName(b.client).c_str(), mb(median(peaks) * 1024.0).c_str());
    std::fflush(stdout);
}

// ---- CSV export ----------------------------------------------------------------------------------

/// "OK" of "The output to a CSV File" for the whole table, against the client's tab-separated output
/// into a file.
void measureCsv(Bench& b) {
    const std::string select = "select * from " + b.table();
    const std::string ourFile = b.file("export.csv");
    const std::string theirFile = b.file("client-export.txt");
    CsvExportDialog exporter(b.connection, b.op, QString::fromStdString(select));
    exporter.findChild<QLineEdit*>("File name")->setText(QString::fromStdString(ourFile));
    exporter.show();
    letScreensPaint();
    Contender ours{"VelkinSorvane"};
    ours.work = [&] {
        exporter.write();
        letScreensPaint();
    };
    ours.check = [&] {
        if (lineCount(ourFile) != b.rows)
            problem(sqlf("the CSV file has %lld lines", lineCount(ourFile)));
        detail("  CSV file " + mb(static_cast<double>(fileSize(ourFile))));
    };
    Contender theirs{baseName(b.client) + " --batch > file"};
    theirs.work = shellWork(b.batch(select) + " > " + theirFile);
    theirs.check = [&] { detail("  client's file " + mb(static_cast<double>(fileSize(theirFile)))); };
    // The client reading row by row as we do, rather than storing the whole answer first.
    Contender streamed{baseName(b.client) + " --quick --batch > file"};
    streamed.work = shellWork(b.client + b.login() + " --quick --batch -e \"" + select + "\" > " + theirFile);
    race(b.runs, {&ours, &theirs, &streamed});
    printCase("CSV export, whole table", ours, theirs);
    printCase("CSV export, whole table", ours, streamed);
    // Checked already; at a million rows they are large.
    std::remove(ourFile.c_str());
    std::remove(theirFile.c_str());
}

// ---- table duplicate -----------------------------------------------------------------------------

/// "Create" of "The duplicate of a table" with "Data copy" into another database, against the dump
/// tool piped into the client and against one INSERT ... SELECT; every run makes the copy from
/// nothing. type, when given, is chosen in the dialog and given to the tools' copies as well.
void measureCopy(Bench& b, const QString& type) {
    Connection& c = b.connection;
    c.query(sqlf("DROP DATABASE IF EXISTS %s", kCopyDatabase));
    c.query(sqlf("CREATE DATABASE %s", kCopyDatabase));
    const std::string copyTable = std::string(kCopyDatabase) + "." + kTable;
    const std::string expected = fingerprint(c, b.table());

    TableDuplicateDialog duplicate(c, b.op, b.loginValues(), QString::fromLatin1(kDatabase),
                                   QString::fromLatin1(kTable));
    auto* destination = duplicate.findChild<QComboBox*>("The database point to create");
    destination->setCurrentIndex(destination->findText(QString::fromLatin1(kCopyDatabase)));
    if (!type.isEmpty()) {
        auto* types = duplicate.findChild<QComboBox*>("The table type to create");
        types->setCurrentIndex(types->findText(type));
    }
    duplicate.findChild<QCheckBox*>("Data copy")->setChecked(true);
    duplicate.show();
    letScreensPaint();

    auto dropCopy = [&] {
        c.query("DROP TABLE IF EXISTS " + copyTable);
        settleServer(c);
    };
    auto checkCopy = [&](const std::string& who) {
        return [&c, copyTable, expected, who, type] {
            const std::string got = fingerprint(c, copyTable);
            if (got != expected)
                problem(who + "'s copy holds " + got + ", the source " + expected);
            if (!type.isEmpty()) {
                const std::string engine =
                    scalarOf(c, sqlf("SELECT ENGINE FROM information_schema.TABLES WHERE TABLE_SCHEMA = "
                                     "'%s' AND TABLE_NAME = '%s'",
                                     kCopyDatabase, kTable));
                if (engine != type.toStdString())
                    problem(who + "'s copy is " + engine);
            }
        };
    };

    Contender ours{"VelkinSorvane"};
    ours.prepare = dropCopy;
    ours.work = [&] {
        duplicate.create();
        letScreensPaint();
    };
    ours.check = checkCopy("the table duplicate");

    std::string pipe = b.dumper + b.login() + " " + kDatabase + " " + kTable + " | ";
    if (!type.isEmpty())
        pipe += "sed 's/ENGINE=InnoDB/ENGINE=" + type.toStdString() + "/' | ";
    pipe += b.client + b.login() + " " + kCopyDatabase;
    Contender dumpPipe{baseName(b.dumper) + " | " + baseName(b.client)};
    dumpPipe.prepare = dropCopy;
    dumpPipe.work = shellWork(pipe);
    dumpPipe.check = checkCopy("the dump pipe");

    std::string statements = "CREATE TABLE " + copyTable + " LIKE " + b.table() + "; ";
    if (!type.isEmpty())
        statements += "ALTER TABLE " + copyTable + " ENGINE=" + type.toStdString() + "; ";
    statements += "INSERT INTO " + copyTable + " SELECT * FROM " + b.table();
    Contender insertSelect{"INSERT INTO ... SELECT"};
    insertSelect.prepare = dropCopy;
    insertSelect.work = shellWork(b.client + b.login() + " -e \"" + statements + "\"");
    insertSelect.check = checkCopy("INSERT ... SELECT");

    race(b.runs, {&ours, &dumpPipe, &insertSelect});
    const std::string name =
        "table duplicate with data copy" + (type.isEmpty() ? std::string() : " into " + type.toStdString());
    printCase(name, ours, dumpPipe);
    printCase(name, ours, insertSelect);
    c.query(sqlf("DROP DATABASE %s", kCopyDatabase));
}

// ---- dump ----------------------------------------------------------------------------------------

/// "Dump" of "Maintenance and Restoration" into an SQL file, against the dump tool writing a file.
void measureDump(Bench& b) {
    const std::string ourFile = b.file("dump.sql");
    const std::string theirFile = b.file("tool-dump.sql");
    MaintenanceDialog maintenance(b.connection, b.op, QString::fromLatin1(kDatabase),
                                  QString::fromLatin1(kTable));
    maintenance.findChild<QLineEdit*>("Output file")->setText(QString::fromStdString(ourFile));
    maintenance.show();
    letScreensPaint();
    Contender ours{"VelkinSorvane"};
    ours.work = [&] {
        maintenance.dump();
        letScreensPaint();
    };
    ours.check = [&] {
        // The header lines and the CREATE TABLE statement's lines, then statements of many rows.
        if (lineCount(ourFile) < 5)
            problem(sqlf("the dump has %lld lines", lineCount(ourFile)));
        detail("  dump file " + mb(static_cast<double>(fileSize(ourFile))));
    };
    Contender theirs{baseName(b.dumper) + " > file"};
    theirs.work = shellWork(b.dumper + b.login() + " " + kDatabase + " " + kTable + " > " + theirFile);
    theirs.check = [&] { detail("  tool's dump file " + mb(static_cast<double>(fileSize(theirFile)))); };
    race(b.runs, {&ours, &theirs});
    printCase("dump to an SQL file", ours, theirs);

    // Each file loaded by the client as it stands, in place of the table it was made from: the
    // table is dropped first and must come back equal.
    Connection& c = b.connection;
    const std::string expected = fingerprint(c, b.table());
    auto dropTable = [&] {
        c.query("DROP TABLE IF EXISTS " + b.table());
        settleServer(c);
    };
    auto checkReload = [&c, &b, expected](const std::string& who) {
        return [&c, &b, expected, who] {
            const std::string got = fingerprint(c, b.table());
            if (got != expected)
                problem(who + " gave back " + got + ", the table was " + expected);
        };
    };
    Contender ourReload{"VelkinSorvane's dump | " + baseName(b.client)};
    ourReload.prepare = dropTable;
    ourReload.work = shellWork(b.client + b.login() + " < " + ourFile);
    ourReload.check = checkReload("our dump");
    Contender theirReload{baseName(b.dumper) + "'s file | " + baseName(b.client)};
    theirReload.prepare = dropTable;
    theirReload.work = shellWork(b.client + b.login() + " " + kDatabase + " < " + theirFile);
    theirReload.check = checkReload("the tool's dump");
    race(b.runs, {&ourReload, &theirReload});
    printCase("reload of the dump file by the client", ourReload, theirReload);
    std::remove(ourFile.c_str());
    std::remove(theirFile.c_str());
}

/// Qt's own handler, which the benchmark's passes messages on to.
QtMessageHandler g_standardMessages = nullptr;

/// The offscreen platform's note that it cannot pass size hints on is left out: it comes with every
/// dialog shown and says nothing about the figures.
void quietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QStringLiteral("does not support propagateSizeHints")))
        return;
    if (g_standardMessages)
        g_standardMessages(type, context, message);
    else
        std::cerr << message.toStdString() << std::endl;
}

bool wanted(const std::string& parts, const char* part) {
    return ("," + parts + ",").find(std::string(",") + part + ",") != std::string::npos;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The screens read remembered settings (the console's font); the benchmark keeps its own, so that
    // neither the person's settings change its figures nor it changes theirs.
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(kBenchDir + "/config"));
    g_standardMessages = qInstallMessageHandler(quietMessages);
    QApplication app(argc, argv);
    const long rows = argc > 1 ? std::atol(argv[1]) : 1000000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    std::string parts = argc > 3 ? argv[3] : "console,list,csv,copy,dump,chart";
    if (parts == "all")
        parts = "console,list,csv,copy,copy-myisam,copy-other,dump,chart,tree,runfile,names,ssh,stall";
    if (rows < 1 || runs < 1) {
        std::cerr
            << "usage: " << argv[0]
            << " [rows [runs "
               "[console,list,csv,copy,copy-myisam,copy-other,dump,chart,tree,runfile,names,ssh,stall|all]]]"
            << std::endl;
        return 2;
    }

    PrivateServer server(kBenchDir + "/server");
    if (server.port().empty()) {
        std::cerr << "the private server did not start" << std::endl;
        return 1;
    }
    // The copy log goes to the current directory, as the session would have it.
    QDir().mkpath(QString::fromStdString(kBenchDir));
    QDir::setCurrent(QString::fromStdString(kBenchDir));
    Connection::initLibrary();
    Connection connection;
    if (!connection.connect("127.0.0.1", "root", "", static_cast<unsigned>(std::stoul(server.port())))) {
        std::cerr << "cannot connect: " << connection.errorText() << std::endl;
        return 1;
    }
    watchServer(server.pid());
    if (!fill(connection, rows))
        return 1;

    Bench b(connection, server.port(), rows, runs);
    std::printf("rows: %ld in %s (%s), median of %d runs\n", rows, b.table().c_str(), kColumns, runs);
    const ShellRun startup = runShell(b.client + b.login() + " -e \"select 1\" > /dev/null");
    std::printf("server %s; starting %s and logging in (select 1) takes %s s of every \"theirs\"\n",
                connection.serverInfo().c_str(), baseName(b.client).c_str(),
                timeText(startup.seconds).c_str());
    std::fflush(stdout);

    // The console first, while the heap is fresh, so that the memory it takes is the answer's own.
    if (wanted(parts, "console")) {
        settleServer(connection);
        measureConsole(b);
    }
    if (wanted(parts, "list")) {
        settleServer(connection);
        measureRecordList(b);
    }
    if (wanted(parts, "csv")) {
        settleServer(connection);
        measureCsv(b);
    }
    if (wanted(parts, "copy"))
        measureCopy(b, QString());
    // A destination without transactions takes its rows on another path of the copy.
    if (wanted(parts, "copy-myisam"))
        measureCopy(b, QStringLiteral("MyISAM"));
    if (wanted(parts, "copy-other")) {
        settleServer(connection);
        measureCopyBetweenServers(connection, server.port(), kDatabase, kTable, runs);
    }
    if (wanted(parts, "dump")) {
        settleServer(connection);
        measureDump(b);
    }
    if (wanted(parts, "chart")) {
        settleServer(connection);
        measureTableStatus(connection, b.client, b.login(), b.port, 1500, runs);
    }
    // A database of 100,000 tables, made once (VELKIN_BENCH_TABLES sets another number).
    if (wanted(parts, "tree")) {
        settleServer(connection);
        const char* many = std::getenv("VELKIN_BENCH_TABLES");
        measureTree(connection, b.client, b.login(), b.port, many ? std::atoi(many) : 100000, runs);
    }
    if (wanted(parts, "runfile") || wanted(parts, "names")) {
        const ConsoleBenchSetup setup{connection, b.client,  b.dumper,
                                      b.login(),  kDatabase, kTable,
                                      kBenchDir,  runs,      [&connection] { settleServer(connection); }};
        if (wanted(parts, "runfile")) {
            settleServer(connection);
            measureRunFile(setup);
        }
        if (wanted(parts, "names"))
            measureNameCompletion(setup, 10000);
    }
    if (wanted(parts, "ssh")) {
        settleServer(connection);
        measureSsh(SshBenchSetup{kSourceDir, kBenchDir, server.port(), kDatabase, kTable, rows, runs});
    }
    // Last: one of its cases stops the server for a while.
    if (wanted(parts, "stall"))
        measureStalls({connection, b.op, b.loginValues(), kDatabase, kTable, rows, runs, server.pid(),
                       kBenchDir, [&connection] { settleServer(connection); }});
    return 0;
}
