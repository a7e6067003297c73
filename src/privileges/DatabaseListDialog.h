#pragma once

#include <QDialog>
#include "GrantChanges.h"

class QListWidget;
class QListWidgetItem;

namespace velkin {

class Connection;
class Operator;

/// "Database List": the databases of the server and every row of mysql.db; leads into the Database
/// and DB dialogs.
class DatabaseListDialog : public QDialog {
    Q_OBJECT
public:
    DatabaseListDialog(Connection& connection, Operator& op, QWidget* parent = nullptr);

    QListWidget* databaseList() const { return m_databases; }
    /// Entries: label Db, second text Host, third text User.
    QListWidget* grantList() const { return m_grants; }

    /// Reads the databases and the grant rows again into both lists.
    void fill();
    /// Opens the Database dialog for a database entry, then fills the lists again.
    void openDatabase(QListWidgetItem* item);
    /// Opens the DB dialog for a grant entry, then fills the lists again.
    void openGrant(QListWidgetItem* item);

private:
    void build();

    Connection& m_connection;
    Operator& m_op;
    QListWidget* m_databases = nullptr;
    QListWidget* m_grants = nullptr;
    GrantScreen m_grantScreen;  // tells the charts when this screen closes
};

}  // namespace velkin
