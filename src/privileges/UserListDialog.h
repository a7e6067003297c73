#pragma once

#include <QDialog>

#include "GrantChanges.h"
#include "GrantSteps.h"
#include "ServerCalls.h"
#include "UserEditorDialog.h"

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;

namespace velkin {

class Connection;
class Operator;

/// "User List": every account of mysql.user, privileged ones under "Admin" and the others under
/// "Common user"; leads into the user editor and deletes accounts.
class UserListDialog : public QDialog {
    Q_OBJECT
public:
    UserListDialog(Connection& connection, Operator& op, QWidget* parent = nullptr);

    /// Entries: label User or "(no user)", second text Host, third text Password.
    QListWidget* adminList() const { return m_admin; }
    QListWidget* commonList() const { return m_common; }
    QString selectedUser() const { return m_selectedUser; }
    QString selectedHost() const { return m_selectedHost; }

    /// Reads the accounts again into both lists. The selection stays on its account where that is still
    /// listed; otherwise nothing is selected and the bottom fields are empty.
    void fill();
    /// Shows the account of an entry in the bottom fields (an entry of either list chosen).
    void chooseAccount(QListWidgetItem* item);
    /// Opens the user editor on the entry's account; afterwards the grants are reloaded and the lists filled.
    void openAccount(QListWidgetItem* item);
    /// Opens the user editor for a new account, then reloads as above.
    void newUser();
    void deleteAccount();
    /// The context menu of a list for a click at pos (viewport coordinates), not yet shown.
    QMenu* contextMenu(QListWidget* list, const QPoint& pos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    QListWidget* accountList(const QString& name);
    void openEditor(const QString& label, const QString& host, const QString& password);
    /// After an editor has closed: the selection follows the account it ended on (renamed or new),
    /// and the lists are read again.
    void refillAfterEditor(const std::optional<AccountKey>& endedOn);
    void selectListed();
    void clearSelection();
    void showContextMenu(QListWidget* list, const QPoint& pos);

    Connection& m_connection;
    Operator& m_op;
    ServerCalls m_calls;
    GrantSteps m_steps;
    QString m_selectedUser;
    QString m_selectedHost;

    QListWidget* m_admin = nullptr;
    QListWidget* m_common = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_host = nullptr;
    GrantScreen m_grantScreen;  // tells the charts when this screen closes
};

}  // namespace velkin
