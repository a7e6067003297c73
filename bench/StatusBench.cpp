// The table status of a database with many tables, as the database chart and the data amount screen
// read it, side by side with the client reading the same status.

#include "StatusBench.h"

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <optional>

#include "BenchSupport.h"
#include "BenchViewHost.h"
#include "monitor/DataAmountDialog.h"
#include "session/CSorvaneDoc.h"
#include "session/Connection.h"
#include "session/SqlText.h"
#include "views/CDbGraphView.h"
#include "views/ChartSurvey.h"

namespace velkin::bench {

namespace {

constexpr const char* kChartDatabase = "velkin_bench_chart";

std::string scalarText(Connection& c, const std::string& sql) {
    Result r = c.select(sql);
    Row row = r.fetchRow();
    return row ? row.str(0) : std::string();
}

std::string tableName(int i) {
    char name[16];
    std::snprintf(name, sizeof name, "t%04d", i);
    return name;
}

/// The tables, each InnoDB with a few rows; made once and kept while their number is right.
bool makeTables(Connection& c, int tables) {
    const std::string count = scalarText(
        c, sqlf("SELECT COUNT(*) FROM information_schema.TABLES WHERE TABLE_SCHEMA = '%s'", kChartDatabase));
    if (count == std::to_string(tables))
        return true;
    std::printf("making %d tables...\n", tables);
    std::fflush(stdout);
    c.query(sqlf("DROP DATABASE IF EXISTS %s", kChartDatabase));
    c.query(sqlf("CREATE DATABASE %s", kChartDatabase));
    for (int i = 1; i <= tables; ++i) {
        if (c.query(sqlf("CREATE TABLE %s.%s (id INT PRIMARY KEY, note VARCHAR(40)) ENGINE=InnoDB "
                         "SELECT seq AS id, CONCAT('row ', seq) AS note FROM %s.seq_1_to_%d",
                         kChartDatabase, tableName(i), kChartDatabase, 1 + i % 50)) != 0) {
            std::cerr << "making the tables failed: " << c.errorLine() << std::endl;
            return false;
        }
    }
    return true;
}

/// Counts the statements sent while it lives.
class StatementCount {
public:
    StatementCount() {
        Connection::setStatementObserver([this](const Connection&, const std::string&) { ++m_count; });
    }
    ~StatementCount() { Connection::setStatementObserver(nullptr); }
    int count() const { return m_count; }

private:
    int m_count = 0;
};

}  // namespace

void measureDatabaseChart(const std::string& client, const std::string& login, const std::string& port,
                          const std::string& database, int tables, int runs) {
    SilentOperator op;
    SilentPanes panes;
    const LoginValues values{"root", "", "127.0.0.1", QString::fromStdString(port)};
    CSorvaneDoc doc(
        op, [values](const QString&, const QString&) { return std::optional<LoginValues>(values); }, &panes);
    if (doc.Connect() != ConnectResult::Admin) {
        std::cerr << "CHECK FAILED: the chart's session did not log in as the administrator" << std::endl;
        return;
    }
    const QString name = QString::fromStdString(database);
    doc.select(Selection{name, QString(), name, NodeKind::Database, ChartKind::Database});
    BenchViewHost host;
    const std::string clientName = client.substr(client.rfind('/') + 1);
    const std::string theirs = client + login + " --batch -e \"SHOW TABLE STATUS FROM " + database + "\"";

    // The figures alone: the listing and the status of every table, as the chart reads them.
    std::size_t rows = 0;
    int statements = 0;
    Contender survey{"VelkinSorvane"};
    survey.work = [&] {
        StatementCount counted;
        const UsageSurvey read = surveyDatabase(*doc.connection(), database);
        rows = read.rows ? read.rows->size() : 0;
        statements = counted.count();
    };
    survey.check = [&] {
        if (rows != static_cast<std::size_t>(tables))
            std::cerr << "CHECK FAILED: the survey has " << rows << " rows" << std::endl;
    };
    Contender client1{clientName + " -e \"SHOW TABLE STATUS FROM db\""};
    client1.work = [&] { runShell(theirs + " > /dev/null"); };
    race(runs, {&survey, &client1});
    printCase(sqlf("database chart figures, %d tables (%d statements)", tables, statements), survey, client1);

    // The chart as a person sees it: a new view shown, until its figures are read (beside the window)
    // and it has painted its first screen with them.
    Contender chart{"VelkinSorvane"};
    chart.work = [&] {
        CDbGraphView view(doc, op, host);
        view.resize(820, 600);
        view.show();
        const auto started = std::chrono::steady_clock::now();
        while (view.logicalSize().height() < 50 * tables &&
               std::chrono::steady_clock::now() - started < std::chrono::minutes(10))
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        QApplication::processEvents();
        rows = static_cast<std::size_t>(view.logicalSize().height());
    };
    chart.check = [&] {
        if (rows < static_cast<std::size_t>(50 * tables))
            std::cerr << "CHECK FAILED: the chart is " << rows << " pixels high" << std::endl;
    };
    Contender client2{client1.label};
    client2.work = client1.work;
    race(runs, {&chart, &client2});
    printCase(sqlf("database chart drawn, %d tables", tables), chart, client2);
}

void measureTableStatus(Connection& connection, const std::string& client, const std::string& login,
                        const std::string& port, int tables, int runs) {
    if (!makeTables(connection, tables))
        return;
    measureDatabaseChart(client, login, port, kChartDatabase, tables, runs);
    SilentOperator op;
    const std::string clientName = client.substr(client.rfind('/') + 1);

    // The data amount screen of one table among them.
    const std::string middle = tableName(tables / 2);
    Contender amount{"VelkinSorvane"};
    amount.work = [&] {
        DataAmountDialog dialog(connection, op, QString::fromLatin1(kChartDatabase),
                                QString::fromStdString(middle));
        QApplication::processEvents();
    };
    Contender client3{clientName + " -e \"SHOW TABLE STATUS FROM db LIKE ...\""};
    client3.work = [&] {
        runShell(client + login + " --batch -e \"SHOW TABLE STATUS FROM " + kChartDatabase + " LIKE '" +
                 middle + "'\" > /dev/null");
    };
    race(runs, {&amount, &client3});
    printCase(sqlf("data amount of one table of %d", tables), amount, client3);
}

}  // namespace velkin::bench
