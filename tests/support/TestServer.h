#pragma once

#include <memory>
#include <string>
#include <vector>

#include "session/Connection.h"

namespace velkin::test {

/// Where the private server of this test run listens (started by the CTest fixture).
std::string testHost();
unsigned int testPort();

/// True when the server of this run keeps its grant tables as installed (accounts in
/// mysql.global_priv, no mysql.host); false on the classic one (the grant tables of old).
bool onStockServer();

/// A file that the test server's first start made in its tls folder: ca.pem, other-ca.pem (a CA
/// that signed nothing), client-cert.pem, client-key.pem.
std::string testTlsFile(const std::string& name);

struct Account {
    std::string user;
    std::string password;
};
/// root without password: may select mysql.
Account adminAccount();
/// An account that cannot select mysql and owns only the database sorvane_common.
Account commonAccount();

std::unique_ptr<Connection> connectAs(const Account& account);
std::unique_ptr<Connection> connectAdmin();

/// Runs a statement that must succeed; fails the test with the server's message otherwise.
void exec(Connection& connection, const std::string& sql);
/// The first column of every row of a query.
std::vector<std::string> column(Connection& connection, const std::string& sql);
/// The single value of a query; "(null)" for NULL, "(none)" without a row.
std::string scalar(Connection& connection, const std::string& sql);

/// A database of the test's own, created fresh and dropped when the scope ends.
class ScratchDatabase {
public:
    explicit ScratchDatabase(const std::string& name);
    ~ScratchDatabase();
    const std::string& name() const { return m_name; }
    Connection& admin() { return *m_admin; }

private:
    std::string m_name;
    std::unique_ptr<Connection> m_admin;
};

/// Collects the statements sent on every connection while it lives, and apart from them the
/// server calls that are not statements (grant reload, kill, shutdown).
class StatementLog {
public:
    StatementLog();
    ~StatementLog();
    std::vector<std::string> statements;
    std::vector<std::string> calls;
    void clear() {
        statements.clear();
        calls.clear();
    }
    /// True when a statement equal to sql was sent.
    bool sent(const std::string& sql) const;
};

/// A folder of the test's own, empty at the start, made the process's current directory while it
/// lives and removed afterwards.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
    std::string m_previous;
};

}  // namespace velkin::test
