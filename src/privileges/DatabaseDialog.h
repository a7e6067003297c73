#pragma once

#include <QDialog>
#include <vector>

#include "GrantChanges.h"
#include "GrantSteps.h"
#include "ServerCalls.h"

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QTableWidget;

namespace velkin {

class Connection;
class Operator;
class PrivilegeBoxes;
class HoverSelection;

/// "Database": the users that hold a mysql.db row for one database, the chosen user's row to change
/// or delete, and every account of the server, any of which a double-click grants the database.
class DatabaseDialog : public QDialog {
    Q_OBJECT
public:
    DatabaseDialog(Connection& connection, Operator& op, const QString& database, QWidget* parent = nullptr);

    QString database() const { return m_database; }
    QString selectedUser() const { return m_selectedUser; }
    QString selectedHost() const { return m_selectedHost; }
    /// The granted users: label User, second text Host.
    QListWidget* grantedUsers() const { return m_granted; }
    /// "User List": every account, columns Host and User.
    QTableWidget* userList() const { return m_accounts; }
    HoverSelection* userListHover() const { return m_hover; }

    /// Loads the row of a granted user into the host field and the boxes.
    void chooseUser(QListWidgetItem* item);
    // The buttons' actions, as a click runs them.
    void update();
    void deleteGrant();
    /// Grants the database to the account in this row of the "User List" (its double-click).
    void addAccount(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void build();
    void fillGrantedUsers();
    void fillUserList();
    void clearChoice();

    Connection& m_connection;
    Operator& m_op;
    ServerCalls m_calls;
    GrantSteps m_steps;
    const QString m_database;
    QString m_selectedUser;
    QString m_selectedHost;

    QListWidget* m_granted = nullptr;
    QTableWidget* m_accounts = nullptr;
    HoverSelection* m_hover = nullptr;
    QLineEdit* m_host = nullptr;
    PrivilegeBoxes* m_boxes = nullptr;
    GrantScreen m_grantScreen;  // tells the charts when this screen closes
};

}  // namespace velkin
