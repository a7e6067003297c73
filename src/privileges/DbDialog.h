#pragma once

#include <QDialog>
#include <vector>

#include "GrantChanges.h"
#include "GrantSteps.h"
#include "ServerCalls.h"

class QLineEdit;

namespace velkin {

class Connection;
class Operator;
class PrivilegeBoxes;

/// "DB": one row of mysql.db, its Host, Db and User key and its ten privileges, to change or delete.
class DbDialog : public QDialog {
    Q_OBJECT
public:
    DbDialog(Connection& connection, Operator& op, const QString& host, const QString& database,
             const QString& user, QWidget* parent = nullptr);

    QString keyHost() const { return m_keyHost; }
    QString keyDatabase() const { return m_keyDatabase; }
    QString keyUser() const { return m_keyUser; }

    // The buttons' actions, as a click runs them.
    /// Saves the row when confirmed; the dialog closes with OK however that ends.
    void update();
    void deleteRow();

private:
    void build();
    void loadRow();
    void save();

    Connection& m_connection;
    Operator& m_op;
    ServerCalls m_calls;
    GrantSteps m_steps;
    QString m_keyHost;
    QString m_keyDatabase;
    QString m_keyUser;

    QLineEdit* m_host = nullptr;
    QLineEdit* m_database = nullptr;
    QLineEdit* m_user = nullptr;
    PrivilegeBoxes* m_boxes = nullptr;
    GrantScreen m_grantScreen;  // tells the charts when this screen closes
};

}  // namespace velkin
