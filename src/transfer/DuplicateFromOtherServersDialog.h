#pragma once

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "profiles/HostRecord.h"
#include "session/BackgroundWork.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

namespace velkin {

class Connection;
class Operator;
class WorkProgress;

/// "The duplicate from other servers": copies one table from a server of the saved profiles into a
/// database of the session's server, reading on a second connection of its own.
class DuplicateFromOtherServersDialog : public QDialog {
    Q_OBJECT
public:
    /// The profiles come from Host.DAT in the current directory.
    DuplicateFromOtherServersDialog(Connection& session, Operator& op, QWidget* parent = nullptr);
    ~DuplicateFromOtherServersDialog() override;

    /// Selection moves in the three browse lists.
    void chooseServer(QListWidgetItem* item);
    void chooseDatabase(QListWidgetItem* item);
    void chooseTable(QListWidgetItem* item);
    /// "Duplicate": creates the table from the CREATE box on the session and copies the rows when
    /// asked; the dialog stays open.
    void duplicate();
    /// Closing ends the second connection.
    void done(int result) override;

    QString createText() const;
    /// The second connection while one is open.
    Connection* sourceConnection() const { return m_source.get(); }

private:
    void applyTableType();
    void applyDestinationName();
    void forgetTable();

    Connection& m_session;
    Operator& m_op;
    std::unique_ptr<Connection> m_source;
    std::vector<HostRecord> m_profiles;
    std::string m_sourceDatabase;
    std::string m_sourceTable;
    QListWidget* m_servers = nullptr;
    QListWidget* m_databases = nullptr;
    QListWidget* m_tables = nullptr;
    QTreeWidget* m_fields = nullptr;
    QPlainTextEdit* m_create = nullptr;
    QComboBox* m_destination = nullptr;
    QLineEdit* m_newTable = nullptr;
    QComboBox* m_tableType = nullptr;
    QCheckBox* m_dataCopy = nullptr;
    QLineEdit* m_sourceCount = nullptr;
    QLineEdit* m_copiedCount = nullptr;
    WorkProgress* m_progress = nullptr;
    QPushButton* m_duplicateButton = nullptr;
    QPushButton* m_cancel = nullptr;
    BackgroundWork m_work;
    bool m_copying = false;
};

}  // namespace velkin
