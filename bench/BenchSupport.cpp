#include "BenchSupport.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

namespace velkin::bench {

double seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

ShellRun runShell(const std::string& command) {
    ShellRun run;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid < 0)
        return run;
    if (pid == 0) {
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    // The usage of a waited-for child includes the children it waited for itself, so the peak is
    // that of the largest process of a pipe.
    while (wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR)
            return run;
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakKb = usage.ru_maxrss;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (run.exitCode != 0)
        std::cerr << "command failed (" << run.exitCode << "): " << command << std::endl;
    return run;
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

std::string tool(std::initializer_list<const char*> names) {
    for (const char* name : names) {
        std::string path = shellOutput(std::string("command -v ") + name);
        if (!path.empty())
            return path;
    }
    return *names.begin();
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

long long fileSize(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : 0;
}

long long lineCount(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> buffer(1 << 16);
    long long lines = 0;
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        lines += std::count(buffer.data(), buffer.data() + in.gcount(), '\n');
    }
    return lines;
}

namespace {

long g_serverPid = 0;

double secondsOf(const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

/// Processor time so far of this process, of the tools it has waited for, and of the server.
struct CpuTimes {
    double self = 0;
    double tools = 0;
    double server = 0;
};

CpuTimes cpuNow() {
    CpuTimes t;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    t.self = secondsOf(usage.ru_utime) + secondsOf(usage.ru_stime);
    getrusage(RUSAGE_CHILDREN, &usage);
    t.tools = secondsOf(usage.ru_utime) + secondsOf(usage.ru_stime);
    if (g_serverPid > 0) {
        // utime and stime are the 14th and 15th fields, after the command name in parentheses.
        std::ifstream in("/proc/" + std::to_string(g_serverPid) + "/stat");
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::size_t close = text.rfind(')');
        if (close != std::string::npos) {
            std::istringstream fields(text.substr(close + 2));
            std::string field;
            unsigned long long ticks = 0;
            for (int i = 3; i <= 15 && fields >> field; ++i)
                if (i >= 14)
                    ticks += std::strtoull(field.c_str(), nullptr, 10);
            t.server = static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
        }
    }
    return t;
}

}  // namespace

void watchServer(long pid) {
    g_serverPid = pid;
}

void race(int runs, const std::vector<Contender*>& contenders) {
    for (int run = 0; run < runs; ++run) {
        for (Contender* c : contenders) {
            if (c->prepare)
                c->prepare();
            const CpuTimes before = cpuNow();
            const double s = seconds(c->work);
            const CpuTimes after = cpuNow();
            c->times.push_back(s);
            if (verbose()) {
                char cpu[128];
                std::snprintf(
                    cpu, sizeof cpu, " s (processor: benchmark %.3f s, tools %.3f s, server %.3f s)",
                    after.self - before.self, after.tools - before.tools, after.server - before.server);
                detail("  run " + std::to_string(run + 1) + ", " + c->label + ": " + timeText(s) + cpu);
            }
            if (run == 0 && c->check)
                c->check();
        }
    }
}

std::string timeText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, seconds < 0.1 ? "%.4f" : "%.3f", seconds);
    return text;
}

void printCase(const std::string& name, const Contender& ours, const Contender& theirs) {
    const double o = median(ours.times);
    const double t = median(theirs.times);
    std::printf("%s: ours %s s, theirs %s s (%s), ratio %.2f\n", name.c_str(), timeText(o).c_str(),
                timeText(t).c_str(), theirs.label.c_str(), t > 0 ? o / t : 0.0);
    std::fflush(stdout);
}

bool verbose() {
    const char* v = std::getenv("VELKIN_BENCH_VERBOSE");
    return v && *v && std::strcmp(v, "0") != 0;
}

void detail(const std::string& text) {
    if (!verbose())
        return;
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
}

}  // namespace velkin::bench
