// Takes the README's pictures: the real main window and screens on a live server, saved as PNG.
//   VelkinSorvaneScreenshots OUTDIR HOST PORT USER [PASSWORD]
#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QTreeWidgetItem>
#include <cstdio>

#include "CMainFrame.h"
#include "DemoScriptText.h"
#include "monitor/GaleraDialog.h"
#include "monitor/ProcessMonitorDialog.h"
#include "monitor/ReplicationDialog.h"
#include "session/CSorvaneDoc.h"
#include "session/Operator.h"
#include "transfer/SqlConsoleDialog.h"
#include "views/CLeftView.h"
#include "views/CSorvaneView.h"
#include "views/RecordDetailsDialog.h"

using namespace velkin;

namespace {

/// Nobody sits at this screen: messages are printed, questions answered No, dialogs not run.
class HeadlessOperator : public Operator {
public:
    void inform(const QString& text, const QString& caption, MessageIcon) override {
        std::printf("[%s] %s\n", qPrintable(caption), qPrintable(text));
    }
    bool ask(const QString& text, const QString&) override {
        std::printf("[question] %s -> No\n", qPrintable(text));
        return false;
    }
    int runModal(QDialog&) override { return 0; }
    QString chooseOpenFile(QWidget*, const QString&, const QString&) override { return {}; }
    QString chooseSaveFile(QWidget*, const QString&, const QString&) override { return {}; }
    QString chooseFolder(QWidget*, const QString&) override { return {}; }
    bool chooseFont(QWidget*, QFont&) override { return false; }
    void beginWait() override {}
    void endWait() override {}
};

void settle() {
    for (int i = 0; i < 10; ++i) {
        QApplication::processEvents();
        QThread::msleep(20);
    }
}

bool save(QWidget& widget, const QString& path) {
    settle();
    const bool ok = widget.grab().save(path);
    std::printf("%s %s\n", ok ? "saved" : "FAILED", qPrintable(path));
    return ok;
}

QTreeWidgetItem* child(QTreeWidgetItem* parent, const QString& label) {
    for (int i = 0; parent && i < parent->childCount(); ++i)
        if (parent->child(i)->text(0) == label)
            return parent->child(i);
    return nullptr;
}

/// The picture of a screen on the server whose port the variable names: 0 when taken or not
/// asked for, 1 when it failed.
template <typename Screen>
int shotOfServer(const char* portVariable, Operator& op, QWidget& frame, QSize size, const QString& path) {
    const QByteArray port = qgetenv(portVariable);
    if (port.isEmpty())
        return 0;
    Connection server;
    if (!server.connect("127.0.0.1", "root", "", port.toUInt())) {
        std::printf("FAILED to reach the server of %s: %s\n", portVariable, server.errorLine().c_str());
        return 1;
    }
    Screen screen(server, op, &frame);
    screen.resize(size);
    screen.show();
    for (int i = 0; i < 4; ++i) {
        screen.refresh();
        settle();
    }
    return save(screen, path) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s OUTDIR HOST PORT USER [PASSWORD]\n", argv[0]);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    const LoginValues login{QString::fromLocal8Bit(argv[4]),
                            argc > 5 ? QString::fromLocal8Bit(argv[5]) : QString(),
                            QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3])};
    Connection::initLibrary();
    HeadlessOperator op;
    CSorvaneDoc doc(op,
                    [login](const QString&, const QString&) { return std::optional<LoginValues>(login); });
    CMainFrame frame(doc, op);
    doc.setStatusPanes(&frame.statusPanes());
    frame.initialUpdate();
    frame.setGeometry(0, 0, 1024, 700);
    frame.show();
    settle();
    if (!doc.connection())
        return 1;

    int failures = 0;
    CLeftView& tree = frame.tree();
    QTreeWidgetItem* demo = child(tree.databaseRoot(), QStringLiteral("sorvane_demo"));
    tree.setCurrentItem(demo);
    settle();
    tree.setCurrentItem(child(demo, QStringLiteral("customers")));
    CSorvaneView* list = frame.recordList();
    if (list)
        list->setHotRow(8);
    failures += !save(frame, out + "/main-window.png");

    if (list) {
        // Customer 9 has no e-mail address: its details show the NULL beside the value.
        std::vector<std::optional<std::string>> values;
        for (int column = 0; column < list->columnCount(); ++column) {
            RowModel::Cell cell = list->rows().cell(8, column);
            values.push_back(cell ? std::optional<std::string>(std::string(*cell)) : std::nullopt);
        }
        RecordDetailsDialog details(*doc.connection(), op, "sorvane_demo", "customers", values, &frame);
        details.selectLine(2);
        details.show();
        failures += !save(details, out + "/record-details.png");
        details.hide();
    }

    tree.setCurrentItem(tree.databaseRoot());
    failures += !save(frame, out + "/server-usage.png");
    if (QTreeWidgetItem* management = tree.topLevelItem(0); management != tree.databaseRoot()) {
        tree.setCurrentItem(child(management, QStringLiteral("User")));
        failures += !save(frame, out + "/user-overview.png");
    }

    SqlConsoleDialog console(*doc.connection(), op, &frame);
    console.findChild<QPlainTextEdit*>(QStringLiteral("Query"))->setPlainText(demoConsoleScript());
    console.execute();
    console.resize(960, 640);
    console.show();
    failures += !save(console, out + "/sql-console.png");
    // The console while a script runs: the statement it is at, the bar of the script's bytes, Stop.
    console.findChild<QPlainTextEdit*>(QStringLiteral("Query"))->setPlainText(demoSlowScript());
    QTimer::singleShot(700, &console, [&] {
        failures += !save(console, out + "/sql-console-running.png");
        if (auto* stop = console.findChild<QPushButton*>(QStringLiteral("Stop")))
            stop->click();
    });
    console.execute();
    console.hide();

    ProcessMonitorDialog monitor(*doc.connection(), op, &frame);
    monitor.show();
    for (int i = 0; i < 8; ++i) {
        monitor.tick();
        settle();
    }
    failures += !save(monitor, out + "/process-monitor.png");
    monitor.hide();

    // The replication and Galera screens need servers of their own; scripts/screenshots starts a
    // replica and a cluster and names their ports.
    failures += shotOfServer<ReplicationDialog>("VELKIN_SHOT_REPLICA_PORT", op, frame, QSize(1000, 680),
                                                out + "/replication.png");
    failures += shotOfServer<GaleraDialog>("VELKIN_SHOT_GALERA_PORT", op, frame, QSize(1000, 640),
                                           out + "/galera.png");
    return failures == 0 ? 0 : 1;
}
