#pragma once

#include <QDialog>

#include "FolderFile.h"
#include "session/CSorvaneDoc.h"

class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace velkin {

class Operator;

/// "Login": the four connection values, and the tree of saved hosts in folders that fills them.
/// The tree on screen is the working copy of FOLDER.DAT and is written back after every change;
/// the hosts' values live in Host.DAT, found by the node's label.
class LoginDialog : public QDialog {
    Q_OBJECT
public:
    explicit LoginDialog(Operator& op, QWidget* parent = nullptr);
    LoginDialog(Operator& op, const QString& presetPort, QWidget* parent = nullptr);

    void setPort(const QString& port);
    LoginValues values() const;
    /// Selects the saved host of that display name, which fills the fields as a click on it does.
    void selectSavedHost(const QString& name);
    /// The display name of the saved host that filled the fields last; empty when none did.
    QString savedHostName() const;

private:
    void build();
    void loadTree();
    void checkHostFile();
    void saveTree();

    QTreeWidgetItem* selectedNode() const;
    bool isRoot(const QTreeWidgetItem* node) const;
    QTreeWidgetItem* addNode(QTreeWidgetItem* parent, const QByteArray& label, int kind);
    void rename(QTreeWidgetItem* node, const QByteArray& label);
    void fillFromSavedHost(const QTreeWidgetItem* node);
    void fillLoginFields(const QString& host, const QString& port, const QString& password,
                         const QString& user);

    void nodeSelected(QTreeWidgetItem* node);
    void nodeDoubleClicked(QTreeWidgetItem* node);
    void labelEdited(QTreeWidgetItem* node);

    void createFolder();
    void deleteFolder();
    void editFolder();
    void newHost();
    void deleteHost();
    void editHost();
    void connectToServer();

    Operator& m_op;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
    QLineEdit* m_host = nullptr;
    QLineEdit* m_port = nullptr;
    QTreeWidget* m_tree = nullptr;
    FolderFile m_folders;
    /// The TLS settings of the saved host that last filled the fields.
    TlsOptions m_tls;
    /// The SSH tunnel of that host, and the secrets its login asked for when Connect was chosen.
    SshOptions m_ssh;
    SshSecrets m_sshSecrets;
    /// The saved host the tunnel settings came from, whose keyring may keep the SSH secret.
    std::string m_profile;
    /// The saved host's password is not known without asking, and why when the keyring is the cause.
    bool m_passwordUnknown = false;
    QString m_passwordProblem;
};

/// The session's login: a LoginDialog pre-set with the port, run through op; the values when the
/// person chose to connect.
LoginPrompt makeLoginPrompt(Operator& op, QWidget* parent);

}  // namespace velkin
