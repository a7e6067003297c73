#pragma once

namespace velkin {

/// What a login came to.
enum class ConnectResult { Admin, CommonUser, Failed };

/// What connecting again without a login came to: the session is back, the server (or the SSH host
/// in front of it) does not answer yet, or it answers and will not have the login.
enum class RenewResult { Renewed, NotYet, Refused };

/// Whether the logged-in account may read the grant tables; only such an account administers
/// privileges.
enum class AccountKind { Common, Admin };

/// Kinds of the object tree's nodes. Each kind has a normal picture (its own number) and a selected
/// one (the next number), which is why the numbers go in steps of two.
enum class NodeKind { Database = 0, Table = 2, Management = 4 };

/// What the right pane draws when it shows a chart.
enum class ChartKind {
    None = -1,
    Server = 0,              ///< the databases of the server
    Database = 1,            ///< the tables of one database
    AccessRestrictions = 2,  ///< hosts that may reach one database
    UserRestrictions = 3,    ///< accounts that may use one database
    Hosts = 4,
    Databases = 5,
    Users = 6,
};

/// Charts of grant tables, which a closed privilege screen may have changed.
inline bool isGrantChart(ChartKind kind) {
    return static_cast<int>(kind) >= static_cast<int>(ChartKind::AccessRestrictions);
}

}  // namespace velkin
