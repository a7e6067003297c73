// The window's thread while long work runs: each case drives a screen as a person would, on the
// benchmark's big table, while a 10 ms timer on the window's thread records how late it fires. A
// stopped case clicks the screen's Stop and a watcher on a connection of its own polls the server's
// process list, which tells when the stopped statement has really gone.

#include "StallBench.h"

#include <signal.h>
#include <sys/types.h>
#include <time.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "BenchSupport.h"
#include "BenchViewHost.h"
#include "session/Connection.h"
#include "session/SqlText.h"
#include "session/StallWatch.h"
#include "transfer/CsvExportDialog.h"
#include "transfer/CsvImportDialog.h"
#include "transfer/MaintenanceDialog.h"
#include "transfer/SqlConsoleDialog.h"
#include "transfer/TableDuplicateDialog.h"
#include "views/CSorvaneView.h"

namespace velkin::bench {

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kTick = std::chrono::milliseconds(10);
constexpr double kStallGoalMs = 50;
constexpr double kStopGoalS = 0.5;
constexpr auto kPoll = std::chrono::milliseconds(3);
constexpr const char* kStallDatabase = "velkin_bench_stall";
constexpr const char* kCopyDatabase = "velkin_bench_copy";
constexpr int kPageLength = 100;

/// Processor time of the calling thread, in ms.
double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double secondsSince(Clock::time_point start, Clock::time_point end) {
    return std::chrono::duration<double>(end - start).count();
}

void complain(const std::string& text) {
    std::fprintf(stderr, "CHECK FAILED: %s\n", text.c_str());
}

std::string scalar(Connection& c, const std::string& sql) {
    Result r = c.select(sql);
    Row row = r.fetchRow();
    return row ? row.str(0) : std::string("(none: ") + c.errorText() + ")";
}

/// A timer on the window's thread that should fire every 10 ms: the longest gap between two of its
/// ticks, less the 10 ms, is how long the window could not answer. The thread's own processor time
/// between two ticks tells the window's own work from a thread that waited for a core of a busy
/// machine.
class WindowProbe {
public:
    WindowProbe() {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(kTick);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
    }
    void start() {
        m_longest = Clock::duration::zero();
        m_start = m_last = Clock::now();
        m_longestEnd = m_start;
        m_busiestMs = 0;
        m_lastCpuMs = threadCpuMs();
        m_timer.start();
    }
    /// Where the longest gap ended, in seconds from start.
    double longestAt() const { return secondsSince(m_start, m_longestEnd); }
    /// The most processor time the window's thread spent between two ticks, in ms.
    double busiest() const { return m_busiestMs; }
    /// The longest lateness in ms since start, the time up to now included.
    double stop() {
        tick();
        m_timer.stop();
        const double gapMs = std::chrono::duration<double, std::milli>(m_longest).count();
        return std::max(0.0, gapMs - static_cast<double>(kTick.count()));
    }

private:
    void tick() {
        const Clock::time_point now = Clock::now();
        const double cpuMs = threadCpuMs();
        m_busiestMs = std::max(m_busiestMs, cpuMs - m_lastCpuMs);
        m_lastCpuMs = cpuMs;
        if (now - m_last > m_longest) {
            m_longest = now - m_last;
            m_longestEnd = now;
        }
        m_last = now;
    }
    QTimer m_timer;
    Clock::time_point m_start;
    Clock::time_point m_last;
    Clock::time_point m_longestEnd;
    double m_lastCpuMs = 0;
    double m_busiestMs = 0;
    Clock::duration m_longest{};
};

/// Polls the server's process list from a connection of its own, on a thread of its own (the
/// window's may be the one that is late), for statements that match a LIKE pattern.
class ProcessWatch {
public:
    ProcessWatch(const LoginValues& login, std::string pattern) : m_pattern(std::move(pattern)) {
        m_thread = std::thread([this, login] { poll(login); });
    }
    ~ProcessWatch() { finish(); }
    ProcessWatch(const ProcessWatch&) = delete;
    ProcessWatch& operator=(const ProcessWatch&) = delete;

    void markStop() { m_click = Clock::now().time_since_epoch().count(); }
    bool stopped() const { return m_click.load() != 0; }
    Clock::time_point clickTime() const { return Clock::time_point{Clock::duration(m_click.load())}; }
    /// Seconds from the Stop click to the poll after which the statement was never seen again;
    /// nothing when no stop was clicked or the statement was still there at the end.
    std::optional<double> finish() {
        if (m_thread.joinable()) {
            // A few more polls, so that a statement still finishing is seen.
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            m_quit = true;
            m_thread.join();
        }
        if (!stopped() || !m_goneAt)
            return std::nullopt;
        return secondsSince(clickTime(), *m_goneAt);
    }

private:
    void poll(const LoginValues& login) {
        Connection c;
        if (!c.connect(login.host.toStdString(), login.user.toStdString(), login.password.toStdString(),
                       login.port.toUInt())) {
            complain("the process list watcher did not log in: " + c.errorText());
            return;
        }
        const std::string sql = sqlf(
            "SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE ID <> CONNECTION_ID() AND INFO LIKE "
            "'%s' AND INFO NOT LIKE '%%PROCESSLIST%%'",
            m_pattern);
        while (!m_quit) {
            const Clock::time_point now = Clock::now();
            const bool present = scalar(c, sql) != "0";
            const long long click = m_click.load();
            if (click != 0 && now.time_since_epoch().count() >= click) {
                if (present)
                    m_goneAt.reset();
                else if (!m_goneAt)
                    m_goneAt = now;
            }
            std::this_thread::sleep_for(kPoll);
        }
    }

    std::string m_pattern;
    std::atomic<long long> m_click{0};
    std::atomic<bool> m_quit{false};
    /// Written by the polling thread only, read after it has been joined.
    std::optional<Clock::time_point> m_goneAt;
    std::thread m_thread;
};

/// One line of the table: the work's time (median), its worst stall, and its slowest stop.
struct Figures {
    std::string name;
    std::vector<double> times;
    std::vector<double> stallsMs;
    double busyMs = 0;
    std::optional<double> stopS;
    /// From the click to the screen's work having ended (slowest).
    std::optional<double> returnS;
    bool stopCase = false;
    bool stopMissed = false;
    std::string note;
};

std::vector<Figures> g_lines;

void printLine(const Figures& f) {
    char stop[64] = "-";
    char back[64] = "-";
    if (f.stopCase) {
        if (f.stopS)
            std::snprintf(stop, sizeof stop, "%.3f s %s", *f.stopS, *f.stopS <= kStopGoalS ? "ok" : "OVER");
        else
            std::snprintf(stop, sizeof stop, "%s", f.stopMissed ? "ended first" : "still there");
        if (f.returnS)
            std::snprintf(back, sizeof back, "%.3f s", *f.returnS);
    }
    const double stall = median(f.stallsMs);
    const double worst = *std::max_element(f.stallsMs.begin(), f.stallsMs.end());
    std::printf("%-52s %9s s %7.1f ms %7.1f ms %-4s %7.1f ms  %-15s %-11s %s\n", f.name.c_str(),
                timeText(median(f.times)).c_str(), stall, worst, stall <= kStallGoalMs ? "ok" : "OVER",
                f.busyMs, stop, back, f.note.c_str());
    std::fflush(stdout);
}

/// Runs work `runs` times with the probe on, after prepare (not timed). With a stop, the screen's
/// "Stop" is clicked stopAfterMs into each run and pattern names the statement to watch for.
struct Case {
    explicit Case(std::string caseName) : name(std::move(caseName)) {}
    std::string name;
    std::function<void()> prepare;
    std::function<void()> work;
    std::function<void()> check;
    QWidget* screen = nullptr;
    int stopAfterMs = -1;
    std::string pattern;
};

Figures runCase(const StallSetup& s, const Case& c) {
    Figures f;
    f.name = c.name;
    f.stopCase = c.stopAfterMs >= 0;
    WindowProbe probe;
    for (int run = 0; run < s.runs; ++run) {
        if (c.prepare)
            c.prepare();
        std::unique_ptr<ProcessWatch> watch;
        // Gone with the run, so that a work that ended first is not stopped later.
        QTimer stopLater;
        if (f.stopCase) {
            watch = std::make_unique<ProcessWatch>(s.login, c.pattern);
            stopLater.setSingleShot(true);
            QObject::connect(&stopLater, &QTimer::timeout, [&c, &watch] {
                auto* stop = c.screen->findChild<QPushButton*>(QStringLiteral("Stop"));
                if (!stop || !stop->isEnabled())
                    return;
                watch->markStop();
                stop->click();
            });
            stopLater.start(c.stopAfterMs);
        }
        probe.start();
        const Clock::time_point start = Clock::now();
        c.work();
        const Clock::time_point end = Clock::now();
        const double stallMs = probe.stop();
        f.stallsMs.push_back(stallMs);
        f.busyMs = std::max(f.busyMs, probe.busiest());
        f.times.push_back(secondsSince(start, end));
        if (watch) {
            const bool clicked = watch->stopped();
            const std::optional<double> gone = watch->finish();
            if (!clicked) {
                f.stopMissed = true;
            } else {
                const double back = secondsSince(watch->clickTime(), end);
                f.returnS = std::max(f.returnS.value_or(0.0), back);
                if (gone && (!f.stopS || *gone > *f.stopS))
                    f.stopS = gone;
            }
        }
        detail(sqlf("  run %d, %s: %s s, longest stall %.1f ms ending %.3f s into the work, busiest %.1f ms",
                    run + 1, c.name, timeText(f.times.back()), stallMs, probe.longestAt(), probe.busiest()));
        if (run == 0 && c.check)
            c.check();
        // Whatever the screen posted last is handled before the next run's probe starts.
        QApplication::processEvents();
    }
    return f;
}

void show(QWidget& screen) {
    screen.resize(900, 700);
    screen.show();
    QApplication::processEvents();
}

void choose(QListWidget* list, const char* name) {
    const QList<QListWidgetItem*> found = list->findItems(QString::fromLatin1(name), Qt::MatchExactly);
    if (found.isEmpty())
        complain(std::string("no ") + name + " in the import's lists");
    else
        list->setCurrentItem(found.front());
}

/// Half the work's time, so that the stop falls inside it; never before the statement can have
/// reached the server.
int halfway(const Figures& unstopped) {
    return std::max(200, static_cast<int>(median(unstopped.times) * 500));
}

void add(Figures f, const std::string& note = std::string()) {
    if (!note.empty())
        f.note = note;
    printLine(f);
    g_lines.push_back(std::move(f));
}

// ---- the cases ------------------------------------------------------------------------------------

/// The window's thread doing nothing but waiting for events: what the machine itself costs the probe.
void idleCase(const StallSetup& s) {
    Case idle{"idle window, 2 s (the machine's own lateness)"};
    idle.work = [] {
        QEventLoop loop;
        QTimer::singleShot(2000, &loop, &QEventLoop::quit);
        loop.exec();
    };
    add(runCase(s, idle));
}

void consoleCases(const StallSetup& s, const std::string& big) {
    SqlConsoleDialog console(s.connection, s.op);
    show(console);
    auto* query = console.findChild<QPlainTextEdit*>(QStringLiteral("Query"));
    Case read{"SQL console, SELECT * FROM the table"};
    read.prepare = [&] { query->setPlainText(QString::fromStdString("SELECT * FROM " + big)); };
    read.work = [&] { console.execute(); };
    read.check = [&] {
        if (console.rows().rows() != s.rows)
            complain(sqlf("the console shows %d rows", console.rows().rows()));
    };
    add(runCase(s, read));

    Case sleep{"SQL console, SELECT SLEEP(5), Stop after 1 s"};
    sleep.prepare = [&] { query->setPlainText(QStringLiteral("SELECT SLEEP(5)")); };
    sleep.work = [&] { console.execute(); };
    sleep.screen = &console;
    sleep.stopAfterMs = 1000;
    sleep.pattern = "SELECT SLEEP(5)%";
    add(runCase(s, sleep));
}

/// The export's file is the import's source afterwards.
void csvCases(const StallSetup& s, const std::string& big, const std::string& file) {
    CsvExportDialog exporter(s.connection, s.op, QString::fromStdString("select * from " + big));
    auto* name = exporter.findChild<QLineEdit*>(QStringLiteral("File name"));
    show(exporter);
    const std::string stoppedFile = file + ".stopped";
    Case whole{"CSV export, whole table"};
    whole.prepare = [&] { name->setText(QString::fromStdString(file)); };
    whole.work = [&] { exporter.write(); };
    whole.check = [&] {
        if (lineCount(file) != s.rows)
            complain(sqlf("the CSV file has %lld lines", lineCount(file)));
    };
    const Figures unstopped = runCase(s, whole);
    add(unstopped);
    Case stopped{"CSV export, Stop halfway"};
    stopped.prepare = [&] { name->setText(QString::fromStdString(stoppedFile)); };
    stopped.work = whole.work;
    stopped.screen = &exporter;
    stopped.stopAfterMs = halfway(unstopped);
    stopped.pattern = "%" + s.database + "%";
    add(runCase(s, stopped));
    std::remove(stoppedFile.c_str());
}

void importCases(const StallSetup& s, const std::string& big, const std::string& file) {
    Connection& c = s.connection;
    c.query(sqlf("DROP DATABASE IF EXISTS %s", kStallDatabase));
    c.query(sqlf("CREATE DATABASE %s", kStallDatabase));
    const std::string target = std::string(kStallDatabase) + "." + s.table;
    c.query("CREATE TABLE " + target + " LIKE " + big);
    CsvImportDialog importer(c, s.op);
    choose(importer.findChild<QListWidget*>(QStringLiteral("database list")), kStallDatabase);
    choose(importer.findChild<QListWidget*>(QStringLiteral("table list")), s.table.c_str());
    importer.findChild<QLineEdit*>(QStringLiteral("File name"))->setText(QString::fromStdString(file));
    importer.findChild<QCheckBox*>(QStringLiteral("The file of a client is imported."))->setChecked(true);
    importer.useExportSettings();
    show(importer);
    Case load{"CSV import (LOAD DATA of the export) into a copy"};
    load.prepare = [&] {
        c.query("TRUNCATE TABLE " + target);
        s.settle();
    };
    load.work = [&] { importer.import(); };
    load.check = [&] {
        const std::string count = scalar(c, "SELECT COUNT(*) FROM " + target);
        if (count != std::to_string(s.rows))
            complain("the import left " + count + " rows");
    };
    const Figures unstopped = runCase(s, load);
    add(unstopped);
    Case stopped = load;
    stopped.name = "CSV import, Stop halfway";
    stopped.check = nullptr;
    stopped.screen = &importer;
    stopped.stopAfterMs = halfway(unstopped);
    stopped.pattern = "LOAD DATA%";
    add(runCase(s, stopped));
    c.query(sqlf("DROP DATABASE %s", kStallDatabase));
}

void duplicateCases(const StallSetup& s) {
    Connection& c = s.connection;
    c.query(sqlf("DROP DATABASE IF EXISTS %s", kCopyDatabase));
    c.query(sqlf("CREATE DATABASE %s", kCopyDatabase));
    const std::string copy = std::string(kCopyDatabase) + "." + s.table;
    TableDuplicateDialog duplicate(c, s.op, s.login, QString::fromStdString(s.database),
                                   QString::fromStdString(s.table));
    auto* destination = duplicate.findChild<QComboBox*>(QStringLiteral("The database point to create"));
    destination->setCurrentIndex(destination->findText(QString::fromLatin1(kCopyDatabase)));
    duplicate.findChild<QCheckBox*>(QStringLiteral("Data copy"))->setChecked(true);
    show(duplicate);
    Case whole{"table duplicate with data copy (InnoDB)"};
    whole.prepare = [&] {
        c.query("DROP TABLE IF EXISTS " + copy);
        s.settle();
    };
    whole.work = [&] { duplicate.create(); };
    whole.check = [&] {
        const std::string count = scalar(c, "SELECT COUNT(*) FROM " + copy);
        if (count != std::to_string(s.rows))
            complain("the duplicate holds " + count + " rows");
    };
    const Figures unstopped = runCase(s, whole);
    add(unstopped);
    Case stopped = whole;
    stopped.name = "table duplicate, Stop halfway";
    stopped.check = nullptr;
    stopped.screen = &duplicate;
    stopped.stopAfterMs = halfway(unstopped);
    stopped.pattern = "%" + s.database + "%";
    add(runCase(s, stopped));
    c.query(sqlf("DROP DATABASE %s", kCopyDatabase));
}

void dumpCases(const StallSetup& s, const std::string& file) {
    MaintenanceDialog maintenance(s.connection, s.op, QString::fromStdString(s.database),
                                  QString::fromStdString(s.table));
    maintenance.findChild<QLineEdit*>(QStringLiteral("Output file"))->setText(QString::fromStdString(file));
    show(maintenance);
    Case whole{"dump to an SQL file"};
    whole.work = [&] { maintenance.dump(); };
    whole.check = [&] {
        if (lineCount(file) < 5)
            complain(sqlf("the dump has %lld lines", lineCount(file)));
    };
    const Figures unstopped = runCase(s, whole);
    add(unstopped);
    Case stopped = whole;
    stopped.name = "dump, Stop halfway";
    stopped.check = nullptr;
    stopped.screen = &maintenance;
    stopped.stopAfterMs = halfway(unstopped);
    stopped.pattern = "%" + s.database + "%";
    add(runCase(s, stopped));
    std::remove(file.c_str());
}

/// The private server stopped (SIGSTOP) as a lock storm or a dead network stops it, and let go on
/// after a while from a thread of its own, whatever the window's thread does meanwhile.
class FrozenServer {
public:
    FrozenServer(long pid, std::chrono::seconds length) : m_pid(static_cast<pid_t>(pid)) {
        ::kill(m_pid, SIGSTOP);
        m_thread = std::thread([this, length] {
            std::this_thread::sleep_for(length);
            ::kill(m_pid, SIGCONT);
        });
    }
    ~FrozenServer() {
        m_thread.join();
        ::kill(m_pid, SIGCONT);
    }
    FrozenServer(const FrozenServer&) = delete;
    FrozenServer& operator=(const FrozenServer&) = delete;

private:
    pid_t m_pid;
    std::thread m_thread;
};

void recordListCases(const StallSetup& s) {
    const LoginValues login = s.login;
    SilentPanes panes;
    CSorvaneDoc doc(
        s.op, [login](const QString&, const QString&) { return std::optional<LoginValues>(login); }, &panes);
    if (doc.Connect() != ConnectResult::Admin) {
        complain("the record list's session did not log in as the administrator");
        return;
    }
    doc.select(Selection{QString::fromStdString(s.database), QString::fromStdString(s.table),
                         QString::fromStdString(s.table), NodeKind::Table, ChartKind::None});
    BenchViewHost host;
    CSorvaneView list(doc, s.op, host);
    host.setRecordList(&list);
    show(list);
    const int lastPage = static_cast<int>(std::max(0L, (s.rows - 1) / kPageLength));
    for (const int page : {0, lastPage}) {
        Case read{sqlf("record list, page %d of %d and count", page + 1, lastPage + 1)};
        read.prepare = [&list, page] { list.setPage(page, kPageLength); };
        read.work = [&] { list.refresh(); };
        read.check = [&] {
            if (list.rowCount() == 0 || list.paging().count != s.rows)
                complain(sqlf("the record list shows %d rows of %d", list.rowCount(), list.paging().count));
        };
        add(runCase(s, read));
    }
    if (s.serverPid <= 0) {
        std::printf("record list, server stopped: left out (the server's process is not known)\n");
        return;
    }
    // Once, whatever the runs: the frozen server costs its seconds every time.
    StallSetup once = s;
    once.runs = 1;
    const unsigned before = StallWatch::abandoned();
    std::unique_ptr<FrozenServer> frozen;
    Case silent{"record list refreshed, server stopped (SIGSTOP) 10 s"};
    silent.prepare = [&] { list.setPage(lastPage, kPageLength); };
    silent.work = [&] {
        frozen = std::make_unique<FrozenServer>(s.serverPid, std::chrono::seconds(10));
        list.refresh();
    };
    Figures f = runCase(once, silent);
    const unsigned given = StallWatch::abandoned() - before;
    frozen.reset();
    add(std::move(f), sqlf("connection given up by the watch: %s, quiet time %lld ms", given ? "yes" : "no",
                           static_cast<long long>(StallWatch::quietTime().count())));
    // The server answers again once it goes on.
    if (scalar(s.connection, "SELECT 1") != "1")
        complain("the server did not answer after it went on");
}

}  // namespace

void measureStalls(const StallSetup& s) {
    g_lines.clear();
    const std::string big = s.database + "." + s.table;
    const std::string csv = s.folder + "/stall-export.csv";
    std::printf(
        "window's thread during long work on %s (%ld rows), %d run(s) a case: the work's time (median), "
        "the longest stall of a 10 ms timer on the window's thread in a run (median and worst; goal <= %.0f "
        "ms), the most processor time the window's thread spent between two ticks (busy), the Stop click to "
        "the statement gone from the process list (slowest; goal <= %.1f s) and to "
        "the "
        "screen's work having ended\n",
        big.c_str(), s.rows, s.runs, kStallGoalMs, kStopGoalS);
    std::printf("%-52s %11s %10s %10s %-4s  %-15s %-11s\n", "case", "work", "stall", "worst", "",
                "stop -> gone", "stop -> end");
    std::fflush(stdout);
    idleCase(s);
    s.settle();
    consoleCases(s, big);
    s.settle();
    csvCases(s, big, csv);
    importCases(s, big, csv);
    std::remove(csv.c_str());
    duplicateCases(s);
    std::printf(
        "copy from another server: not measured, the benchmark has one server (copy-other reads it "
        "through a second connection, without the screen)\n");
    s.settle();
    dumpCases(s, s.folder + "/stall-dump.sql");
    s.settle();
    recordListCases(s);
}

}  // namespace velkin::bench
