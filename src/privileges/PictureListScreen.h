#pragma once

#include <QDialog>
#include <initializer_list>

#include "GrantChanges.h"
#include "ServerCalls.h"

class QListWidget;
class QVBoxLayout;

namespace velkin {

class Connection;
class Operator;

/// A screen of picture lists, each under its name, below an "Update" (reads the lists again) and
/// "Cancel" row. The first list holds the server's databases. Every dialog opened from an entry is
/// followed by a fresh read, since it may have changed what the lists show.
class PictureListScreen : public QDialog {
    Q_OBJECT
public:
    QListWidget* databaseList() const { return m_databases; }
    /// Reads every list again.
    virtual void fill() = 0;

protected:
    /// Builds the rows and the lists named; the first name is that of the database list.
    PictureListScreen(Connection& connection, Operator& op, const QString& title,
                      std::initializer_list<QString> lists, QWidget* parent);
    /// The list of that name.
    QListWidget* list(const QString& name) const;
    /// Fills the database list anew; false (and said) when the databases cannot be listed.
    bool fillDatabases();
    /// Runs a dialog opened from an entry, then reads the lists again.
    void runThenFill(QDialog& dialog);
    QVBoxLayout* screenLayout() const { return m_layout; }

    Connection& m_connection;
    Operator& m_op;
    ServerCalls m_calls;

private:
    QListWidget* m_databases = nullptr;
    QVBoxLayout* m_layout = nullptr;
    GrantScreen m_grantScreen;  // tells the charts when this screen closes
};

}  // namespace velkin
