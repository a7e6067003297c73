#include <gtest/gtest.h>

#include <sys/types.h>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <QTreeWidget>
#include <csignal>
#include <cstdlib>
#include <fstream>

#include "MonitorTesting.h"
#include "monitor/GaleraDialog.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

namespace {

std::string nodeFile(int node, const std::string& name) {
    const char* dir = std::getenv("VELKIN_GALERA_DIR");
    if (!dir)
        throw std::runtime_error("VELKIN_GALERA_DIR is not set; run the tests through ctest");
    std::ifstream in(std::string(dir) + "/node" + std::to_string(node) + "/" + name);
    std::string text;
    in >> text;
    return text;
}

std::unique_ptr<Connection> connectNode(int node) {
    auto c = std::make_unique<Connection>();
    if (!c->connect("127.0.0.1", "root", "", static_cast<unsigned>(std::stoul(nodeFile(node, "port")))))
        throw std::runtime_error("cannot connect to node " + std::to_string(node) + ": " + c->errorText());
    return c;
}

QString address(int node) {
    return QString("127.0.0.1:%1").arg(QString::fromStdString(nodeFile(node, "port")));
}

QTreeWidgetItem* nodeRow(GaleraDialog& dialog, int node) {
    QTreeWidget* list = widget<QTreeWidget>(dialog, "Galera nodes");
    for (int i = 0; list && i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->text(0) == address(node))
            return list->topLevelItem(i);
    return nullptr;
}

QString cell(GaleraDialog& dialog, int node, int column) {
    QTreeWidgetItem* row = nodeRow(dialog, node);
    return row ? row->text(column) : QStringLiteral("<no row>");
}

/// Wakes a node held by SIGSTOP when the test ends, however it ends.
struct Frozen {
    explicit Frozen(pid_t pid) : pid(pid) { kill(pid, SIGSTOP); }
    ~Frozen() { kill(pid, SIGCONT); }
    pid_t pid;
};

}  // namespace

TEST(GaleraScreen, ShowsEveryNodeAndMarksOneThatStopsAnswering) {
    ScriptedOperator op;
    auto session = connectNode(1);
    GaleraDialog dialog(*session, op);
    dialog.refresh();
    ASSERT_EQ(dialog.cluster().nodes.size(), 3u);
    const std::string uuid = scalar(*connectNode(2),
                                    "SELECT VARIABLE_VALUE FROM information_schema.GLOBAL_STATUS "
                                    "WHERE VARIABLE_NAME = 'WSREP_CLUSTER_STATE_UUID'");
    for (int node = 1; node <= 3; ++node) {
        EXPECT_EQ(cell(dialog, node, 1), QString("node%1").arg(node));
        EXPECT_EQ(cell(dialog, node, 2), "3");
        EXPECT_EQ(cell(dialog, node, 3), "Primary");
        EXPECT_EQ(cell(dialog, node, 4), "Synced");
        EXPECT_EQ(cell(dialog, node, 5), "ON");
        EXPECT_EQ(cell(dialog, node, 12), QString::fromStdString(uuid));
        EXPECT_EQ(cell(dialog, node, 14), "");
    }
    const QString confBefore = cell(dialog, 1, 13);
    // The choice outlives the refreshes.
    QTreeWidget* list = widget<QTreeWidget>(dialog, "Galera nodes");
    list->setCurrentItem(nodeRow(dialog, 2));

    {
        const Frozen frozen(static_cast<pid_t>(std::stol(nodeFile(3, "server.pid"))));
        // The round waits for the silent node, beside the window's thread: its timers go on firing.
        int ticks = 0;
        QTimer beat;
        QObject::connect(&beat, &QTimer::timeout, [&ticks] { ++ticks; });
        beat.start(50);
        QElapsedTimer clock;
        clock.start();
        dialog.refresh();
        beat.stop();
        EXPECT_GE(clock.elapsed(), 1000);
        EXPECT_GE(ticks, static_cast<int>(clock.elapsed() / 50 / 2));
        EXPECT_TRUE(cell(dialog, 3, 14).startsWith("does not answer")) << cell(dialog, 3, 14);
        EXPECT_TRUE(eventually([&] {
            dialog.refresh();
            return cell(dialog, 1, 2) == "2" && cell(dialog, 2, 2) == "2";
        }));
        // The silent node is still listed, marked, and the other two agree on the new view.
        EXPECT_TRUE(cell(dialog, 3, 14).startsWith("does not answer")) << cell(dialog, 3, 14);
        EXPECT_EQ(nodeRow(dialog, 3)->foreground(0).color(), QColor(Qt::red));
        EXPECT_NE(cell(dialog, 1, 13), confBefore);
        EXPECT_EQ(cell(dialog, 1, 13), cell(dialog, 2, 13));
        EXPECT_EQ(cell(dialog, 1, 14), "");
        EXPECT_EQ(list->currentItem(), nodeRow(dialog, 2));
    }
    EXPECT_TRUE(op.messages.empty());
}

TEST(GaleraScreen, SaysPlainlyWhenTheServerIsNoGaleraNode) {
    ScriptedOperator op;
    auto plain = connectAdmin();
    GaleraDialog dialog(*plain, op);
    dialog.refresh();
    QLabel* notice = widget<QLabel>(dialog, "Notice");
    ASSERT_NE(notice, nullptr);
    EXPECT_FALSE(notice->isHidden());
    EXPECT_EQ(notice->text(), "This server is not a Galera node: wsrep_on is OFF.");
    EXPECT_TRUE(dialog.cluster().nodes.empty());
}
