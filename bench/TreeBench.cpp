// A database of very many tables in the object tree: its nodes, Find among them, and its usage chart,
// side by side with the client listing the same tables.

#include <QApplication>
#include <QTreeWidgetItemIterator>
#include <cstdio>
#include <iostream>

#include "BenchSupport.h"
#include "BenchViewHost.h"
#include "StatusBench.h"
#include "app/FindInList.h"
#include "session/CSorvaneDoc.h"
#include "session/Connection.h"
#include "session/SqlText.h"
#include "views/CDbGraphView.h"
#include "views/CLeftView.h"

namespace velkin::bench {

namespace {

constexpr const char* kTreeDatabase = "velkin_bench_tree";

std::string countOf(Connection& c) {
    Result r = c.select(
        sqlf("SELECT COUNT(*) FROM information_schema.TABLES WHERE TABLE_SCHEMA = '%s' AND ENGINE = 'MyISAM'",
             kTreeDatabase));
    Row row = r.fetchRow();
    return row ? row.str(0) : std::string();
}

/// Small empty MyISAM tables, made once and kept while their number is right. MEMORY tables would
/// spare the files, but the server finds each one it opens in a list of them all, and reading the
/// status of 100,000 of them took it over half an hour.
bool makeManyTables(Connection& c, int tables) {
    if (countOf(c) == std::to_string(tables))
        return true;
    std::printf("making %d tables (once; about three minutes per 100,000)...\n", tables);
    std::fflush(stdout);
    c.query(sqlf("DROP DATABASE IF EXISTS %s", kTreeDatabase));
    c.query(sqlf("CREATE DATABASE %s", kTreeDatabase));
    for (int i = 1; i <= tables; ++i)
        if (c.query(sqlf("CREATE TABLE %s.t%06d (id INT PRIMARY KEY) ENGINE=MyISAM", kTreeDatabase, i)) !=
            0) {
            std::cerr << "making the tables failed: " << c.errorLine() << std::endl;
            return false;
        }
    return true;
}

}  // namespace

void measureTree(Connection& connection, const std::string& client, const std::string& login,
                 const std::string& port, int tables, int runs) {
    if (!makeManyTables(connection, tables))
        return;
    SilentOperator op;
    const LoginValues values{"root", "", "127.0.0.1", QString::fromStdString(port)};
    CSorvaneDoc doc(op,
                    [values](const QString&, const QString&) { return std::optional<LoginValues>(values); });
    if (doc.Connect() != ConnectResult::Admin) {
        std::cerr << "CHECK FAILED: the tree's session did not log in as the administrator" << std::endl;
        return;
    }
    BenchViewHost host;
    CLeftView tree(doc, op, host);
    tree.resize(260, 700);
    tree.show();
    const std::string clientName = client.substr(client.rfind('/') + 1);
    const std::string listing = client + login + " --batch -e \"SHOW TABLES FROM " + kTreeDatabase + "\"";

    // The database chosen in a tree filled anew: its tables listed and drawn.
    Contender open{"VelkinSorvane"};
    QTreeWidgetItem* database = nullptr;
    open.work = [&] {
        tree.rebuild(false);
        database = tree.databaseNode(QString::fromLatin1(kTreeDatabase));
        if (database)
            tree.setCurrentItem(database);
        QApplication::processEvents();
    };
    open.check = [&] {
        if (!database || database->childCount() < tables)
            std::cerr << "CHECK FAILED: the database node holds " << (database ? database->childCount() : 0)
                      << " nodes" << std::endl;
    };
    Contender theirs{clientName + " -e \"SHOW TABLES FROM db\""};
    theirs.work = [&] { runShell(listing + " > /dev/null"); };
    race(runs, {&open, &theirs});
    printCase(sqlf("tree: a database of %d tables opened", tables), open, theirs);

    // Find (Ctrl+F) of the last table's name from the top, as the main window searches the tree.
    const QString wanted = QString::asprintf("t%06d", tables);
    std::vector<double> finds;
    for (int run = 0; run < runs; ++run) {
        tree.setCurrentItem(tree.topLevelItem(0));
        QTreeWidgetItem* found = nullptr;
        finds.push_back(seconds([&] {
            std::vector<QTreeWidgetItem*> nodes;
            for (QTreeWidgetItemIterator it(&tree); *it; ++it)
                nodes.push_back(*it);
            const FindResult result = findInRows(
                static_cast<int>(nodes.size()), 1, [&nodes](int row, int) { return nodes[row]->text(0); }, 0,
                FindRequest{wanted, true, false, true});
            if (result.outcome == FindOutcome::Found)
                found = nodes[static_cast<std::size_t>(result.row)];
        }));
        if (!found)
            std::cerr << "CHECK FAILED: find did not reach " << wanted.toStdString() << std::endl;
    }
    std::printf("tree: find the last of %d tables: %.1f ms (median)\n", tables, median(finds) * 1000);

    // Scrolling: the slowest of twenty repaints while the view is scrolled through the tables.
    double slowest = 0;
    for (int step = 0; step < 20; ++step) {
        slowest = std::max(slowest, seconds([&] {
                               tree.scrollToItem(database->child(database->childCount() * step / 20));
                               tree.viewport()->repaint();
                           }));
    }
    std::printf("tree: slowest scroll frame over %d tables: %.1f ms\n", tables, slowest * 1000);
    std::fflush(stdout);

    // The usage chart of that database: one statement, every table's figures drawn.
    measureDatabaseChart(client, login, port, kTreeDatabase, tables, runs);
}

}  // namespace velkin::bench
