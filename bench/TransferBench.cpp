// Measures the CSV export, the SQL console's result list, the table duplicate with its row copy and
// the table dump on one million rows of five columns, side by side with the command-line tools doing
// the same work on the same private server.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "session/Connection.h"
#include "session/Operator.h"
#include "session/RowModel.h"
#include "session/SqlText.h"
#include "transfer/CsvExportDialog.h"
#include "transfer/MaintenanceDialog.h"
#include "transfer/SqlConsoleDialog.h"
#include "transfer/TableDuplicateDialog.h"

using namespace velkin;

namespace {

/// Answers nothing and shows nothing: the benchmark has no one at the screen.
class SilentOperator : public Operator {
public:
    using Operator::ask;
    using Operator::inform;
    void inform(const QString& text, const QString&, MessageIcon) override { last = text; }
    bool ask(const QString&, const QString&) override { return true; }
    int runModal(QDialog&) override { return QDialog::Rejected; }
    QString chooseOpenFile(QWidget*, const QString&, const QString&) override { return {}; }
    QString chooseSaveFile(QWidget*, const QString&, const QString&) override { return {}; }
    QString chooseFolder(QWidget*, const QString&) override { return {}; }
    bool chooseFont(QWidget*, QFont&) override { return false; }
    void beginWait() override {}
    void endWait() override {}
    QString last;
};

double seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

/// The best of several runs: the least disturbed by the other work on the machine.
double best(int runs, const std::function<void()>& work) {
    double b = 1e9;
    for (int i = 0; i < runs; ++i)
        b = std::min(b, seconds(work));
    return b;
}

std::string shellOutput(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, p))
            out += buffer;
        pclose(p);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

long statusKb(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0)
            return std::atol(line.c_str() + std::strlen(key));
    return 0;
}

void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

/// The first of the named programs that is installed.
std::string tool(std::initializer_list<const char*> names) {
    for (const char* name : names) {
        std::string path = shellOutput(std::string("command -v ") + name);
        if (!path.empty())
            return path;
    }
    return *names.begin();
}

std::string client() {
    return tool({"mariadb", "mysql"});
}

std::string dumper() {
    return tool({"mariadb-dump", "mysqldump"});
}

bool wanted(const std::string& parts, const char* part) {
    return parts == "all" || ("," + parts + ",").find(std::string(",") + part + ",") != std::string::npos;
}

std::string scalarOf(Connection& c, const std::string& sql) {
    Result r = c.select(sql);
    Row row = r.fetchRow();
    return row ? row.str(0) : std::string("(none)");
}

void fill(Connection& c, long rows) {
    const std::string count = [&] {
        Result r = c.select("SELECT COUNT(*) FROM velkin_bench.t");
        Row row = r.fetchRow();
        return row ? row.str(0) : std::string();
    }();
    if (count == std::to_string(rows))
        return;
    std::cout << "filling " << rows << " rows..." << std::endl;
    c.query("DROP DATABASE IF EXISTS velkin_bench");
    c.query("CREATE DATABASE velkin_bench");
    c.query(
        "CREATE TABLE velkin_bench.t (id INT PRIMARY KEY, name VARCHAR(32), amount DECIMAL(12,2), "
        "created DATETIME, note VARCHAR(64)) ENGINE=InnoDB");
    if (c.query(sqlf("INSERT INTO velkin_bench.t SELECT seq, CONCAT('name-', seq), seq * 1.25, "
                     "'2024-01-01' + INTERVAL seq SECOND, CONCAT('note for row ', seq, ' of the benchmark') "
                     "FROM velkin_bench.seq_1_to_%ld",
                     rows)) != 0)
        std::cerr << "fill failed: " << c.errorLine() << std::endl;
}

/// "Create" of the table duplicate with "Data copy", against the dump tool piped into the client,
/// both making velkin_bench_copy.t from nothing; type, when given, is chosen in the dialog and put
/// into the tool's output.
void measureCopy(Connection& connection, Operator& op, const std::string& port, int runs,
                 const QString& type) {
    const std::string login = " --no-defaults -h127.0.0.1 -P" + port + " -uroot";
    connection.query("CREATE DATABASE IF NOT EXISTS velkin_bench_copy");
    const LoginValues loginValues{"root", "", "127.0.0.1", QString::fromStdString(port)};
    TableDuplicateDialog duplicate(connection, op, loginValues, "velkin_bench", "t");
    auto* destination = duplicate.findChild<QComboBox*>("The database point to create");
    destination->setCurrentIndex(destination->findText("velkin_bench_copy"));
    if (!type.isEmpty()) {
        auto* types = duplicate.findChild<QComboBox*>("The table type to create");
        types->setCurrentIndex(types->findText(type));
    }
    duplicate.findChild<QCheckBox*>("Data copy")->setChecked(true);
    const double copySeconds = best(runs, [&] {
        connection.query("DROP TABLE IF EXISTS velkin_bench_copy.t");
        const double s = seconds([&] { duplicate.create(); });
        std::printf("  table duplicate run: %.3f s\n", s);
    });
    const std::string copied = scalarOf(connection, "SELECT COUNT(*) FROM velkin_bench_copy.t");
    const std::string same = scalarOf(connection,
                                      "SELECT COUNT(*) FROM velkin_bench.t JOIN velkin_bench_copy.t "
                                      "USING (id, name, amount, created, note)");
    std::string pipe = dumper() + login + " velkin_bench t | ";
    if (!type.isEmpty())
        pipe += "sed 's/ENGINE=InnoDB/ENGINE=" + type.toStdString() + "/' | ";
    pipe += client() + login + " velkin_bench_copy";
    const double pipeSeconds = best(runs, [&] {
        connection.query("DROP TABLE IF EXISTS velkin_bench_copy.t");
        const double s = seconds([&] { std::system(pipe.c_str()); });
        std::printf("  dump | client run: %.3f s\n", s);
    });
    const std::string piped = scalarOf(connection, "SELECT COUNT(*) FROM velkin_bench_copy.t");
    std::printf(
        "table duplicate with data copy%s: %.3f s (%s rows, %s equal), dump | client: %.3f s (%s rows), "
        "ratio %.2f (goal <= 1.5)\n",
        type.isEmpty() ? "" : (" into " + type.toStdString()).c_str(), copySeconds, copied.c_str(),
        same.c_str(), pipeSeconds, piped.c_str(), copySeconds / pipeSeconds);
    connection.query("DROP DATABASE velkin_bench_copy");
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const long rows = argc > 1 ? std::atol(argv[1]) : 1000000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
    const std::string parts = argc > 3 ? argv[3] : "all";
    const std::string serverDir = std::string(VELKIN_BENCH_DIR) + "/server";
    const std::string port =
        shellOutput(std::string(VELKIN_SOURCE_DIR) + "/scripts/testserver start " + serverDir);
    if (port.empty()) {
        std::cerr << "the private server did not start" << std::endl;
        return 1;
    }
    // The copy log is written into the current directory, as the session would have it.
    QDir::setCurrent(QString::fromUtf8(VELKIN_BENCH_DIR));
    Connection::initLibrary();
    Connection connection;
    if (!connection.connect("127.0.0.1", "root", "", static_cast<unsigned>(std::stoul(port)))) {
        std::cerr << "cannot connect: " << connection.errorText() << std::endl;
        return 1;
    }
    fill(connection, rows);
    const std::string select = "select * from velkin_bench.t";
    const std::string login = " --no-defaults -h127.0.0.1 -P" + port + " -uroot";
    const std::string cli = client() + login + " --batch -e \"" + select + "\"";
    const std::string csvPath = std::string(VELKIN_BENCH_DIR) + "/export.csv";
    const std::string cliPath = std::string(VELKIN_BENCH_DIR) + "/client.txt";
    SilentOperator op;
    const double mb = 1024.0 * 1024.0;
    std::printf("rows: %ld, five columns\n", rows);

    // The console first, while the heap is fresh, so that its memory is its own.
    if (wanted(parts, "console")) {
        double consoleSeconds = 0;
        long rssGrowthKb = 0;
        long peakGrowthKb = 0;
        std::size_t rawBytes = 0;
        {
            SqlConsoleDialog console(connection, op);
            console.show();
            console.findChild<QPlainTextEdit*>("Query")->setPlainText(QString::fromStdString(select));
            QApplication::processEvents();
            const long before = statusKb("VmRSS:");
            resetPeak();
            const long peakBefore = statusKb("VmHWM:");
            consoleSeconds = seconds([&] {
                console.execute();
                // Until the list has painted its first screen of rows.
                QApplication::processEvents();
            });
            rssGrowthKb = statusKb("VmRSS:") - before;
            peakGrowthKb = statusKb("VmHWM:") - std::max(before, peakBefore);
            rawBytes = console.rows().byteSize();
            if (console.rows().rows() != rows)
                std::cerr << "console shows " << console.rows().rows() << " rows" << std::endl;
            for (int i = 1; i < runs; ++i)
                consoleSeconds = std::min(consoleSeconds, seconds([&] {
                                              console.execute();
                                              QApplication::processEvents();
                                          }));
        }
        const double cliNull = best(runs, [&] { std::system((cli + " > /dev/null").c_str()); });
        std::printf("console list: %.3f s, client --batch > /dev/null: %.3f s, ratio %.2f (goal <= 2)\n",
                    consoleSeconds, cliNull, consoleSeconds / cliNull);
        std::printf(
            "console memory: raw cell bytes %.1f MB; resident +%.1f MB, peak +%.1f MB; ratio to raw %.2f "
            "resident, %.2f peak (goal <= 3)\n",
            rawBytes / mb, rssGrowthKb / 1024.0, peakGrowthKb / 1024.0, rssGrowthKb * 1024.0 / rawBytes,
            peakGrowthKb * 1024.0 / rawBytes);
    }

    if (wanted(parts, "csv")) {
        CsvExportDialog exporter(connection, op, QString::fromStdString(select));
        exporter.findChild<QLineEdit*>("File name")->setText(QString::fromStdString(csvPath));
        const double exportSeconds = best(runs, [&] { exporter.write(); });
        const double cliFile = best(runs, [&] { std::system((cli + " > " + cliPath).c_str()); });
        std::printf(
            "CSV export: %.3f s (file %.1f MB), client --batch > file: %.3f s (%.1f MB), ratio %.2f "
            "(goal <= 1.5)\n",
            exportSeconds, QFileInfo(QString::fromStdString(csvPath)).size() / mb, cliFile,
            QFileInfo(QString::fromStdString(cliPath)).size() / mb, exportSeconds / cliFile);
    }

    if (wanted(parts, "copy"))
        measureCopy(connection, op, port, runs, QString());
    // The same into MyISAM, whose partial statements the copy avoids with one statement per row.
    if (wanted(parts, "copy-myisam"))
        measureCopy(connection, op, port, runs, QStringLiteral("MyISAM"));

    // "Dump" of the maintenance dialog against the dump tool writing a file.
    if (wanted(parts, "dump")) {
        const std::string ours = std::string(VELKIN_BENCH_DIR) + "/dump.sql";
        const std::string theirs = std::string(VELKIN_BENCH_DIR) + "/tool-dump.sql";
        MaintenanceDialog maintenance(connection, op, "velkin_bench", "t");
        maintenance.findChild<QLineEdit*>("Output file")->setText(QString::fromStdString(ours));
        const double dumpSeconds = best(runs, [&] { maintenance.dump(); });
        const std::string tool = dumper() + login + " velkin_bench t > " + theirs;
        const double toolSeconds = best(runs, [&] { std::system(tool.c_str()); });
        std::printf(
            "dump: %.3f s (file %.1f MB), dump tool > file: %.3f s (%.1f MB), ratio %.2f (goal <= 2)\n",
            dumpSeconds, QFileInfo(QString::fromStdString(ours)).size() / mb, toolSeconds,
            QFileInfo(QString::fromStdString(theirs)).size() / mb, dumpSeconds / toolSeconds);
    }

    if (!std::getenv("VELKIN_BENCH_KEEP_SERVER"))
        std::system((std::string(VELKIN_SOURCE_DIR) + "/scripts/testserver stop " + serverDir).c_str());
    return 0;
}
