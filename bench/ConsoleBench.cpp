// The console's "Run file" against the client reading the same dump, and its name completion on a
// server with many tables.

#include "ConsoleBench.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <memory>

#include "BenchSupport.h"
#include "session/Connection.h"
#include "session/SqlText.h"
#include "transfer/SqlConsoleDialog.h"

namespace velkin::bench {

namespace {

constexpr const char* kLoadDatabase = "velkin_bench_load";
constexpr const char* kNamesDatabase = "velkin_bench_names";

/// Chooses the one file the case runs.
class FileOperator : public SilentOperator {
public:
    QString chooseOpenFile(QWidget*, const QString&, const QString&) override { return file; }
    QString file;
};

std::string firstCell(Connection& c, const std::string& sql, unsigned column = 0) {
    Result r = c.select(sql);
    Row row = r.fetchRow();
    return row ? row.str(column) : std::string("(none: ") + c.errorText() + ")";
}

void complain(const std::string& text) {
    std::cerr << "CHECK FAILED: " << text << std::endl;
}

std::string megabytes(double kb) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", kb / 1024.0);
    return text;
}

}  // namespace

void measureRunFile(const ConsoleBenchSetup& setup) {
    Connection& c = setup.connection;
    const std::string file = setup.dir + "/console-run.sql";
    const std::string source = setup.database + "." + setup.table;
    const std::string loaded = std::string(kLoadDatabase) + "." + setup.table;
    runShell(setup.dumper + setup.login + " " + setup.database + " " + setup.table + " > " + file);
    c.query("CREATE DATABASE IF NOT EXISTS " + std::string(kLoadDatabase));
    const std::string expected = firstCell(c, "CHECKSUM TABLE " + source, 1);
    const std::string previous = firstCell(c, "SELECT DATABASE()");

    FileOperator op;
    op.file = QString::fromStdString(file);
    std::unique_ptr<SqlConsoleDialog> console;
    long anonBefore = 0;
    long anonPeak = 0;
    long hwmBefore = 0;
    long hwmGrowth = 0;
    bool first = true;
    // The file's pages come from the page cache through the mapping and count as resident while they
    // are in use; what the process itself takes is its anonymous memory, sampled as the run goes.
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout,
                     [&] { anonPeak = std::max(anonPeak, statusKb("RssAnon:")); });
    const auto dropLoaded = [&] {
        c.query("DROP TABLE IF EXISTS " + loaded);
        setup.settle();
    };
    Contender ours{"VelkinSorvane"};
    ours.prepare = [&] {
        dropLoaded();
        c.selectDb(kLoadDatabase);
        console = std::make_unique<SqlConsoleDialog>(c, op);
        console->show();
        QApplication::processEvents();
        anonBefore = anonPeak = statusKb("RssAnon:");
        hwmBefore = statusKb("VmHWM:");
        resetPeak();
        hwmBefore = statusKb("VmHWM:");
        sampler.start(20);
    };
    ours.work = [&] {
        console->runFile();
        QApplication::processEvents();
    };
    ours.check = [&] {
        sampler.stop();
        if (first)
            hwmGrowth = statusKb("VmHWM:") - hwmBefore;
        first = false;
        const std::string got = firstCell(c, "CHECKSUM TABLE " + loaded, 1);
        if (got != expected)
            complain("Run file left a table whose checksum is " + got + ", the source's " + expected + " (" +
                     console->findChild<QLineEdit*>("Execution result")->text().toStdString() + ")");
    };
    Contender theirs{"mariadb db < file"};
    theirs.prepare = dropLoaded;
    theirs.work = [&] { runShell(setup.client + setup.login + " " + kLoadDatabase + " < " + file); };
    theirs.check = [&] {
        const std::string got = firstCell(c, "CHECKSUM TABLE " + loaded, 1);
        if (got != expected)
            complain("the client left a table whose checksum is " + got);
    };
    race(setup.runs, {&ours, &theirs});
    console.reset();
    if (!previous.empty() && previous.rfind("(none", 0) != 0)
        c.selectDb(previous);
    printCase("Run file of the tool's dump (" + megabytes(static_cast<double>(fileSize(file)) / 1024.0) + ")",
              ours, theirs);
    std::printf(
        "Run file memory: anonymous +%s at most (the last run), resident peak +%s in the first run "
        "(the file's mapped pages included)\n",
        megabytes(static_cast<double>(anonPeak - anonBefore)).c_str(),
        megabytes(static_cast<double>(hwmGrowth)).c_str());
    std::fflush(stdout);
    c.query("DROP DATABASE IF EXISTS " + std::string(kLoadDatabase));
    std::remove(file.c_str());
}

void measureNameCompletion(const ConsoleBenchSetup& setup, int tables) {
    Connection& c = setup.connection;
    const std::string database = kNamesDatabase;
    // Made once and kept: ten thousand tables take a while to create.
    if (firstCell(c, sqlf("SELECT COUNT(*) FROM information_schema.TABLES WHERE TABLE_SCHEMA = '%s'",
                          database)) != std::to_string(tables)) {
        c.query("DROP DATABASE IF EXISTS " + database);
        c.query("CREATE DATABASE " + database);
        for (int i = 0; i < tables; ++i)
            c.query(sqlf("CREATE TABLE %s.t%05d (id INT, name VARCHAR(10)) ENGINE=MyISAM", database, i));
    }
    FileOperator op;
    std::unique_ptr<SqlConsoleDialog> console;
    QPlainTextEdit* box = nullptr;
    QAbstractItemView* popup = nullptr;
    const auto open = [&] {
        console = std::make_unique<SqlConsoleDialog>(c, op);
        console->show();
        box = console->findChild<QPlainTextEdit*>("Query");
        popup = console->findChild<QCompleter*>()->popup();
        box->setPlainText(QString::fromStdString("select * from " + database + ".t0"));
        box->moveCursor(QTextCursor::End);
        QApplication::processEvents();
    };
    const auto ask = [&] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::ControlModifier, QStringLiteral(" "));
        QApplication::sendEvent(box, &press);
        QApplication::processEvents();
    };
    const auto check = [&] {
        // t00000 to t09999 begin with t0.
        const int shown = popup->isVisible() ? popup->model()->rowCount() : 0;
        if (shown != std::min(tables, 10000))
            complain(sqlf("the completion lists %d names", shown));
        popup->hide();
    };
    Contender firstAsk{"VelkinSorvane, first ask"};
    firstAsk.prepare = open;
    firstAsk.work = ask;
    firstAsk.check = check;
    Contender laterAsk{"VelkinSorvane, from what was read"};
    laterAsk.prepare = [&] {
        open();
        ask();
        popup->hide();
        QApplication::processEvents();
    };
    laterAsk.work = ask;
    laterAsk.check = check;
    Contender theirs{"mariadb -e \"SHOW TABLES FROM db\""};
    theirs.work = [&] {
        runShell(setup.client + setup.login + " --batch -e \"SHOW TABLES FROM " + database +
                 "\" > /dev/null");
    };
    race(setup.runs, {&firstAsk, &laterAsk, &theirs});
    console.reset();
    printCase(sqlf("name completion after db., %d tables, first ask", tables), firstAsk, theirs);
    printCase(sqlf("name completion after db., %d tables, from what was read", tables), laterAsk, theirs);
}

}  // namespace velkin::bench
