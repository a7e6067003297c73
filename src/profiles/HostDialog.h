#pragma once

#include <QDialog>

#include "HostRecord.h"

class QLineEdit;

namespace velkin {

class Operator;

/// "Create Host Infomation" (titled "Host edit" when it edits a saved host): the five values of one
/// Host.DAT record. Closing with "Create" writes the record: appended when adding, rewritten in
/// place when editing.
class HostDialog : public QDialog {
    Q_OBJECT
public:
    /// Adds a new host.
    explicit HostDialog(Operator& op, QWidget* parent = nullptr);
    /// Edits the first saved host with that display name.
    HostDialog(Operator& op, const QString& displayName, QWidget* parent = nullptr);

    bool isEditing() const { return m_editing; }
    /// The display name the edited host had when the dialog opened.
    const QString& key() const { return m_key; }

    QString displayName() const;
    QString userName() const;
    QString password() const;
    QString hostName() const;
    QString port() const;

private:
    void build();
    void fillFrom(const HostRecord& record);
    void fillOthersFromSavedHost();
    HostRecord record() const;
    void create();

    Operator& m_op;
    bool m_editing = false;
    QString m_key;
    QLineEdit* m_displayName = nullptr;
    QLineEdit* m_userName = nullptr;
    QLineEdit* m_password = nullptr;
    QLineEdit* m_hostName = nullptr;
    QLineEdit* m_port = nullptr;
};

}  // namespace velkin
