#pragma once

#include <QDialog>

#include "GrantChanges.h"
#include "GrantSteps.h"
#include "ServerCalls.h"

class QLineEdit;
class QPushButton;
class QListWidget;
class QListWidgetItem;

namespace velkin {

class Connection;
class Operator;
class PrivilegeBoxes;
class HoverSelection;

/// "アクセス制限": the client hosts that mysql.host refuses or restricts for one database; adds
/// hosts and changes, renames or deletes the chosen host's row.
class AccessRestrictionDialog : public QDialog {
    Q_OBJECT
public:
    /// The pictures of the host list, by index.
    enum Picture { Refused = 0, Restricted = 1 };
    static constexpr int kPictureRole = Qt::UserRole + 2;

    AccessRestrictionDialog(Connection& connection, Operator& op, const QString& database,
                            QWidget* parent = nullptr);

    QString database() const { return m_database; }
    QString selectedHost() const { return m_selectedHost; }
    /// One entry per mysql.host row of the database, labelled with the host; kPictureRole holds its Picture.
    QListWidget* hostList() const { return m_hosts; }
    HoverSelection* hostListHover() const { return m_hover; }

    /// Loads the row of a host of the list into the host field and the boxes.
    void chooseHost(QListWidgetItem* item);
    // The buttons' actions, as a click runs them.
    void add();
    void update();
    void deleteHost();

private:
    void build();
    void fillHostList();
    void updateChosenHost();
    void clearBlock();

    Connection& m_connection;
    Operator& m_op;
    ServerCalls m_calls;
    GrantSteps m_steps;
    const QString m_database;
    QString m_selectedHost;

    QLineEdit* m_newHost = nullptr;
    QPushButton* m_addButton = nullptr;
    QPushButton* m_updateButton = nullptr;
    QPushButton* m_deleteButton = nullptr;
    QListWidget* m_hosts = nullptr;
    HoverSelection* m_hover = nullptr;
    QLineEdit* m_host = nullptr;
    PrivilegeBoxes* m_boxes = nullptr;
    GrantScreen m_grantScreen;  // tells the charts when this screen closes
};

}  // namespace velkin
