#pragma once

#include "GrantSteps.h"
#include "PictureListScreen.h"

class QListWidgetItem;

namespace velkin {

/// "Host List": the databases of the server and every row of mysql.host, refused hosts apart from
/// restricted ones; leads into the access restriction and host details dialogs.
class HostListDialog : public PictureListScreen {
    Q_OBJECT
public:
    HostListDialog(Connection& connection, Operator& op, QWidget* parent = nullptr);

    /// Entries: label "host\n(db)" or "All hosts\n(db)", second text Host, third text Db.
    QListWidget* refusedList() const { return m_refused; }
    QListWidget* restrictedList() const { return m_restricted; }
    QString selectedHost() const { return m_selectedHost; }
    QString selectedDatabase() const { return m_selectedDatabase; }

    /// Reads the databases and the host rows again into the three lists.
    void fill() override;
    /// Makes an entry of either host list the selected host row.
    void chooseHost(QListWidgetItem* item);
    /// Opens the access restrictions of a database entry, then fills the lists again.
    void openDatabase(QListWidgetItem* item);
    /// Opens the details of a host entry, then fills the lists again.
    void openHost(QListWidgetItem* item);
    /// Deletes the selected host row (the Delete key in a host list).
    void deleteHost();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillHosts(QListWidget* list, bool restricted);

    GrantSteps m_steps;
    QString m_selectedHost;
    QString m_selectedDatabase;

    QListWidget* m_refused = nullptr;
    QListWidget* m_restricted = nullptr;
};

}  // namespace velkin
