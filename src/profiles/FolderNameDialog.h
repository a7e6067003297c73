#pragma once

#include <QDialog>

class QLineEdit;

namespace velkin {

class Operator;

/// "Create Folder": asks for a folder's name, for a new folder and for a rename.
class FolderNameDialog : public QDialog {
    Q_OBJECT
public:
    explicit FolderNameDialog(Operator& op, QWidget* parent = nullptr);

    QString folderName() const;
    void setFolderName(const QString& name);

private:
    void create();

    Operator& m_op;
    QLineEdit* m_name;
};

}  // namespace velkin
