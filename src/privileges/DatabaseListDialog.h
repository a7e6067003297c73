#pragma once

#include "PictureListScreen.h"

class QListWidgetItem;

namespace velkin {

/// "Database List": the databases of the server and every row of mysql.db; leads into the Database
/// and DB dialogs.
class DatabaseListDialog : public PictureListScreen {
    Q_OBJECT
public:
    DatabaseListDialog(Connection& connection, Operator& op, QWidget* parent = nullptr);

    /// Entries: label Db, second text Host, third text User.
    QListWidget* grantList() const { return m_grants; }

    /// Reads the databases and the grant rows again into both lists.
    void fill() override;
    /// Opens the Database dialog for a database entry, then fills the lists again.
    void openDatabase(QListWidgetItem* item);
    /// Opens the DB dialog for a grant entry, then fills the lists again.
    void openGrant(QListWidgetItem* item);

private:
    QListWidget* m_grants = nullptr;
};

}  // namespace velkin
