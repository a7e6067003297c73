#pragma once

#include <QDialog>

#include "ServerCalls.h"

class QListWidget;
class QListWidgetItem;

namespace velkin {

class Connection;
class Operator;

/// "Select Database": every database of the server in a large-icon list; a double-click chooses.
class SelectDatabaseDialog : public QDialog {
    Q_OBJECT
public:
    SelectDatabaseDialog(Connection& connection, Operator& op, QWidget* parent = nullptr);

    /// The chosen database; empty unless one was chosen.
    QString chosenDatabase() const { return m_chosen; }
    QListWidget* list() const { return m_list; }
    /// Takes the entry as the choice and closes with OK, as a double-click does.
    void choose(QListWidgetItem* item);

private:
    ServerCalls m_calls;
    QListWidget* m_list;
    QString m_chosen;
};

}  // namespace velkin
