#include "TestServer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace velkin::test {

std::string testHost() {
    return "127.0.0.1";
}

unsigned int testPort() {
    if (const char* p = std::getenv("VELKIN_TEST_PORT"))
        return static_cast<unsigned>(std::atoi(p));
    const char* dir = std::getenv("VELKIN_TEST_SERVER_DIR");
    if (!dir)
        throw std::runtime_error("VELKIN_TEST_SERVER_DIR is not set; run the tests through ctest");
    std::ifstream in(std::string(dir) + "/port");
    unsigned int port = 0;
    if (!(in >> port))
        throw std::runtime_error(std::string("no port file in ") + dir);
    return port;
}

bool onStockServer() {
    const char* kind = std::getenv("VELKIN_TEST_SERVER_KIND");
    return kind && std::string(kind) == "stock";
}

std::string testTlsFile(const std::string& name) {
    const char* dir = std::getenv("VELKIN_TEST_SERVER_DIR");
    if (!dir)
        throw std::runtime_error("VELKIN_TEST_SERVER_DIR is not set; run the tests through ctest");
    return std::string(dir) + "/tls/" + name;
}

Account adminAccount() {
    return {"root", ""};
}
Account commonAccount() {
    return {"sorvane_common", "common"};
}

std::unique_ptr<Connection> connectAs(const Account& account) {
    auto c = std::make_unique<Connection>();
    if (!c->connect(testHost(), account.user, account.password, testPort()))
        throw std::runtime_error("cannot connect to the test server: " + c->errorText());
    return c;
}

std::unique_ptr<Connection> connectAdmin() {
    return connectAs(adminAccount());
}

void exec(Connection& connection, const std::string& sql) {
    if (connection.query(sql) != 0)
        ADD_FAILURE() << sql << "\n" << connection.errorLine();
    // A statement with rows must have them read before the next one.
    connection.storeResult();
}

std::vector<std::string> column(Connection& connection, const std::string& sql) {
    std::vector<std::string> values;
    Result r = connection.select(sql);
    if (!r) {
        ADD_FAILURE() << sql << "\n" << connection.errorLine();
        return values;
    }
    while (Row row = r.fetchRow())
        values.push_back(row.isNull(0) ? "(null)" : row.str(0));
    return values;
}

std::string scalar(Connection& connection, const std::string& sql) {
    auto values = column(connection, sql);
    return values.empty() ? "(none)" : values.front();
}

ScratchDatabase::ScratchDatabase(const std::string& name) : m_name(name), m_admin(connectAdmin()) {
    exec(*m_admin, "DROP DATABASE IF EXISTS `" + m_name + "`");
    exec(*m_admin, "CREATE DATABASE `" + m_name + "`");
}

ScratchDatabase::~ScratchDatabase() {
    exec(*m_admin, "DROP DATABASE IF EXISTS `" + m_name + "`");
}

StatementLog::StatementLog() {
    Connection::setStatementObserver(
        [this](const Connection&, const std::string& sql) { statements.push_back(sql); });
    Connection::setCallObserver(
        [this](const Connection&, const std::string& call) { calls.push_back(call); });
}

StatementLog::~StatementLog() {
    Connection::setStatementObserver(nullptr);
    Connection::setCallObserver(nullptr);
}

bool StatementLog::sent(const std::string& sql) const {
    return std::find(statements.begin(), statements.end(), sql) != statements.end();
}

ScratchDirectory::ScratchDirectory() {
    m_previous = QDir::currentPath().toStdString();
    QTemporaryDir dir(QDir::tempPath() + "/velkin-test-XXXXXX");
    dir.setAutoRemove(false);
    m_path = dir.path().toStdString();
    QDir::setCurrent(dir.path());
}

ScratchDirectory::~ScratchDirectory() {
    QDir::setCurrent(QString::fromStdString(m_previous));
    QDir(QString::fromStdString(m_path)).removeRecursively();
}

}  // namespace velkin::test
