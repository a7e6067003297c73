#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <vector>

#include "GrantChanges.h"
#include "GrantSteps.h"
#include "ServerCalls.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;

namespace velkin {

class Connection;
class Operator;

/// An account as its user@host.
struct AccountKey {
    QString host;
    QString user;
};

/// "User information": one account's row of mysql.user (host, user, password, fourteen global
/// privileges) and its rows of mysql.db, edited with plain statements on the grant tables, or with
/// account statements where the server has them.
class UserEditorDialog : public QDialog {
    Q_OBJECT
public:
    enum Mode { ExistingUser = 0, NewUser = 1 };

    /// New mode: empty fields, nothing read.
    UserEditorDialog(Connection& connection, Operator& op, QWidget* parent = nullptr);
    /// Existing mode for the account with this host and user; password is its stored text.
    UserEditorDialog(Connection& connection, Operator& op, const QString& host, const QString& user,
                     const QString& password, QWidget* parent = nullptr);

    /// Runs the editor modally as every opener does: afterwards the grants are reloaded. endedOn, when
    /// given, receives the account the editor ended on (see account()).
    static int run(Connection& connection, Operator& op, QWidget* parent,
                   std::optional<AccountKey>* endedOn = nullptr);
    static int run(Connection& connection, Operator& op, const QString& host, const QString& user,
                   const QString& password, QWidget* parent, std::optional<AccountKey>* endedOn = nullptr);

    /// Puts the grant tables into force again, as every opener does once the editor has closed.
    void reloadGrants();

    /// Replaces the "Database" dialog that a double-click on a database entry opens.
    void setDatabaseDialogOpener(std::function<void(const QString& database)> opener) {
        m_openDatabaseDialog = std::move(opener);
    }

    int mode() const { return m_mode; }
    QString keyHost() const { return m_keyHost; }
    QString keyUser() const { return m_keyUser; }
    bool passwordEdited() const { return m_passwordEdited; }
    /// The account as it is named now, after any rename; nothing before a new account is saved or
    /// once it has been deleted.
    std::optional<AccountKey> account() const;
    QString selectedDatabase() const { return m_selectedDatabase; }
    QListWidget* databaseList() const { return m_databases; }

    // The buttons' actions, as a click runs them.
    void update();
    void setAdmin();
    void setCommonUser();
    void addDatabase();
    void updateDatabase();
    void deleteDatabase();
    void deleteUser();
    /// What happens when "Check" loses the focus.
    void checkFieldLeft();
    /// Loads an entry of the database list (always one of this account's own) into the database block.
    void chooseEntry(QListWidgetItem* item);
    /// Opens the "Database" dialog for an entry's database (its double-click); nothing is reloaded after.
    void openDatabase(QListWidgetItem* item);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void open();
    void refreshDatabaseList();
    bool accountSaved();
    /// The password typed twice alike; otherwise says so and empties both fields.
    bool passwordConfirmed();
    /// A database entry chosen for a saved account, and the question answered yes.
    bool entryConfirmed(const QString& question);
    void saveNew();
    void saveExisting();
    void saveNewAccount();
    void saveExistingAccount();
    void afterSave(const QString& message);
    std::vector<bool> flags(const std::vector<QCheckBox*>& boxes) const;
    /// The chosen database entry, addressed by the account's own key.
    DatabaseEntry chosenEntry() const;

    Connection& m_connection;
    Operator& m_op;
    ServerCalls m_calls;
    GrantSteps m_steps;
    int m_mode;
    QString m_keyHost;
    QString m_keyUser;
    bool m_passwordEdited = false;
    bool m_deleted = false;
    QString m_selectedDatabase;
    QString m_selectedEntryHost;
    std::vector<bool> m_heldDatabaseFlags;  // what the chosen entry held when it was loaded
    std::function<void(const QString&)> m_openDatabaseDialog;

    QLineEdit* m_host = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
    QLineEdit* m_check = nullptr;
    std::vector<QCheckBox*> m_globalBoxes;  // in mysql.user column order
    QListWidget* m_databases = nullptr;
    QLineEdit* m_blockHost = nullptr;
    std::vector<QCheckBox*> m_databaseBoxes;  // in mysql.db column order
    GrantScreen m_grantScreen;                // tells the charts when this screen closes
};

}  // namespace velkin
