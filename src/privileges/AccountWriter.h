#pragma once

#include <string>
#include <vector>

namespace velkin {

class Connection;
class GrantSteps;

/// What the user editor saves: the account's name, its password when one is to be set, and the
/// fourteen global boxes.
struct AccountEdit {
    std::string host;
    std::string user;
    std::string password;
    bool setPassword = false;
    std::vector<bool> flags;
};

/// Saves an account on servers whose accounts are changed with account statements. Each failure is
/// told with the server's "%d:%s"; statements already sent stay in force.
class AccountWriter {
public:
    AccountWriter(Connection& connection, GrantSteps& steps) : m_connection(connection), m_steps(steps) {}

    /// CREATE USER, then GRANT of the ticked boxes. created tells whether the account exists now,
    /// also when its grant failed.
    bool create(const AccountEdit& edit, bool& created);
    /// RENAME USER when the name changed, ALTER USER when a password is to be set, GRANT of the ticked
    /// and REVOKE of the unticked boxes. renamed tells whether the account now has the edit's name.
    bool change(const std::string& oldHost, const std::string& oldUser, const AccountEdit& edit,
                bool& renamed);

private:
    bool send(const std::string& sql);
    bool grantAndRevoke(const AccountEdit& edit);

    Connection& m_connection;
    GrantSteps& m_steps;
};

}  // namespace velkin
