#pragma once

#include <QDialog>

#include "GrantChanges.h"
#include "GrantSteps.h"
#include "ServerCalls.h"

class QPushButton;

namespace velkin {

class Connection;
class Operator;
class PrivilegeBoxes;

/// "Host details": the ten privileges of one mysql.host row, to change or delete.
class HostDetailsDialog : public QDialog {
    Q_OBJECT
public:
    HostDetailsDialog(Connection& connection, Operator& op, const QString& host, const QString& database,
                      QWidget* parent = nullptr);

    QString host() const { return m_host; }
    QString database() const { return m_database; }

    // The buttons' actions, as a click runs them; each closes the dialog with OK once it succeeds.
    void update();
    void deleteHost();

private:
    void build();
    void loadRow();

    Connection& m_connection;
    Operator& m_op;
    ServerCalls m_calls;
    GrantSteps m_steps;
    const QString m_host;
    const QString m_database;
    PrivilegeBoxes* m_boxes = nullptr;
    QPushButton* m_updateButton = nullptr;
    QPushButton* m_deleteButton = nullptr;
    GrantScreen m_grantScreen;  // tells the charts when this screen closes
};

}  // namespace velkin
