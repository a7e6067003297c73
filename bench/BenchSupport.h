#pragma once

// Timing, child processes and memory readings shared by the benchmark's cases.

#include <QDialog>
#include <QFont>
#include <QString>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "session/Operator.h"
#include "session/StatusPanes.h"

namespace velkin::bench {

/// Answers yes to every question and shows nothing: the benchmark has no one at the screen.
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

/// A status bar nobody looks at.
class SilentPanes : public StatusPanes {
public:
    void setPaneText(int, const QString&) override {}
    void setPaneFixed(int, int) override {}
};

double seconds(const std::function<void()>& work);
double median(std::vector<double> values);

/// What a shell command took: wall time, the largest resident size among its processes, exit code.
struct ShellRun {
    double seconds = 0;
    long peakKb = 0;
    int exitCode = -1;
};
/// Runs the command with /bin/sh and waits for it.
ShellRun runShell(const std::string& command);
/// The command's standard output without its trailing line ends.
std::string shellOutput(const std::string& command);

/// The first of the named programs that is installed (the first name when none is).
std::string tool(std::initializer_list<const char*> names);

/// A value of /proc/self/status in kB ("VmRSS:", "VmHWM:").
long statusKb(const char* key);
/// Lowers the process's resident peak to what it holds now.
void resetPeak();

/// The file's size in bytes, or 0.
long long fileSize(const std::string& path);
/// Lines in the file.
long long lineCount(const std::string& path);

/// The server process whose processor time the detail lines show.
void watchServer(long pid);

/// One side of a case: what readies a run without being timed, the timed work, and a check of what
/// the first run left behind.
struct Contender {
    explicit Contender(std::string name) : label(std::move(name)) {}
    std::string label;
    std::function<void()> prepare;
    std::function<void()> work;
    std::function<void()> check;
    std::vector<double> times;
};

/// Runs every contender `runs` times, taking turns, so that a disturbance of the machine or a server
/// that warms up as it goes does not fall on one side only.
void race(int runs, const std::vector<Contender*>& contenders);

/// Times as the case lines show them: small times with one more digit.
std::string timeText(double seconds);
/// "name: ours 1.234 s, theirs 1.111 s (label), ratio 1.11"
void printCase(const std::string& name, const Contender& ours, const Contender& theirs);

/// True when VELKIN_BENCH_VERBOSE asks for each run and the checks' figures.
bool verbose();
/// A detail line, shown only when verbose.
void detail(const std::string& text);

}  // namespace velkin::bench
