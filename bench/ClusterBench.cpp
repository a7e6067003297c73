// Measures one refresh of the Galera screen on a private three-node cluster and of the replication
// screen on a private replica, beside the command-line client asking the same nodes the same
// questions (one client run per node), and prints one line per case:
//   case: ours 12.3 ms, theirs 45.6 ms (mariadb), ratio 0.27
// Every time is the median of several runs. The clusters are started by scripts/galeranodes and
// scripts/replservers in DIR (default build-bench/cluster) and stopped at the end.
//
//   cluster_bench [runs [DIR]]

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "monitor/GaleraDialog.h"
#include "monitor/GaleraText.h"
#include "monitor/ReplicationDialog.h"
#include "monitor/ReplicationText.h"
#include "session/Connection.h"
#include "session/Operator.h"

using namespace velkin;

namespace {

const std::string kSourceDir = VELKIN_SOURCE_DIR;

std::string readPort(const std::string& dir) {
    std::ifstream in(dir + "/port");
    std::string port;
    in >> port;
    return port;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

template <typename F>
double millisecondsOf(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void report(const char* name, double ours, double theirs) {
    std::printf("%s: ours %.1f ms, theirs %.1f ms (mariadb), ratio %.2f\n", name, ours, theirs,
                theirs > 0 ? ours / theirs : 0.0);
    std::fflush(stdout);
}

std::string client(const std::string& port, const std::string& sql) {
    return "mariadb --no-defaults -h127.0.0.1 -uroot -P" + port + " -N -e \"" + sql + "\" >/dev/null";
}

void measureGalera(const std::string& dir, int runs) {
    std::vector<std::string> ports;
    for (int n = 1; n <= 3; ++n)
        ports.push_back(readPort(dir + "/galera/node" + std::to_string(n)));
    Connection session;
    if (!session.connect("127.0.0.1", "root", "", static_cast<unsigned>(std::stoul(ports[0])))) {
        std::printf("galera: cannot connect: %s\n", session.errorText().c_str());
        return;
    }
    bench::SilentOperator op;
    GaleraDialog dialog(session, op);
    dialog.refresh();  // connections opened once, as on the screen
    std::vector<double> ours, theirs;
    for (int run = 0; run < runs; ++run) {
        ours.push_back(millisecondsOf([&] { dialog.refresh(); }));
        theirs.push_back(millisecondsOf([&] {
            for (const std::string& port : ports)
                if (std::system(client(port, galeraStatusStatement()).c_str()) != 0)
                    std::printf("galera: the client failed\n");
        }));
    }
    if (dialog.cluster().nodes.size() != 3)
        std::printf("galera: the screen saw %zu nodes, not 3\n", dialog.cluster().nodes.size());
    report("galera refresh, 3 nodes", median(ours), median(theirs));
}

void measureReplication(const std::string& dir, int runs) {
    const std::string port = readPort(dir + "/repl/replica");
    Connection session;
    if (!session.connect("127.0.0.1", "root", "", static_cast<unsigned>(std::stoul(port)))) {
        std::printf("replication: cannot connect: %s\n", session.errorText().c_str());
        return;
    }
    bench::SilentOperator op;
    ReplicationDialog dialog(session, op);
    dialog.refresh();
    const ServerDialect& dialect = session.dialect();
    const std::string round = replicaStatusStatement(dialect) + "; " +
                              replicationVariablesStatement(dialect) + "; " + binlogStatusStatement(dialect) +
                              "; " + replicaHostsStatement(dialect) + "; " + binlogDumpThreadsStatement();
    std::string quoted;
    for (char c : round)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    std::vector<double> ours, theirs;
    for (int run = 0; run < runs; ++run) {
        ours.push_back(millisecondsOf([&] { dialog.refresh(); }));
        theirs.push_back(millisecondsOf([&] {
            const std::string command =
                "mariadb --no-defaults -h127.0.0.1 -uroot -P" + port + " -N -e '" + quoted + "' >/dev/null";
            if (std::system(command.c_str()) != 0)
                std::printf("replication: the client failed\n");
        }));
    }
    report("replication refresh, 2 connections", median(ours), median(theirs));
}

}  // namespace

int main(int argc, char** argv) {
    // The screens run without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Connection::initLibrary();
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    const std::string dir = argc > 2 ? argv[2] : VELKIN_BENCH_DIR "/cluster";
    const std::string galera = kSourceDir + "/scripts/galeranodes";
    const std::string repl = kSourceDir + "/scripts/replservers";
    if (std::system((galera + " start " + dir + "/galera >/dev/null").c_str()) == 0)
        measureGalera(dir, runs);
    else
        std::printf("galera: the cluster did not start\n");
    std::system((galera + " stop " + dir + "/galera >/dev/null 2>&1").c_str());
    if (std::system((repl + " start " + dir + "/repl >/dev/null").c_str()) == 0)
        measureReplication(dir, runs);
    else
        std::printf("replication: the servers did not start\n");
    std::system((repl + " stop " + dir + "/repl >/dev/null 2>&1").c_str());
    Connection::endLibrary();
    return 0;
}
