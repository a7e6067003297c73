#include "LoginDialog.h"

#include <sys/stat.h>

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <cerrno>

#include "FolderNameDialog.h"
#include "FolderTree.h"
#include "HostDialog.h"
#include "HostFile.h"
#include "ProfileLabel.h"
#include "ProfileSecrets.h"
#include "SecretPlaceFile.h"
#include "SshLogin.h"
#include "SshSettingsFile.h"
#include "TlsSettingsFile.h"
#include "session/Operator.h"
#include "widgets/Kit.h"
#include "widgets/Pictures.h"

namespace velkin {

namespace {

const QString kTreeTitle = QStringLiteral("Access Host Infomation");

/// A node of the profile tree. It remembers its label as last accepted, so that the end of an
/// in-place edit can be told from the program's own changes and a refused label restored.
class ProfileItem : public QTreeWidgetItem {
public:
    /// Items of one kind share one icon: drawing the pictures anew for each of many thousand nodes
    /// costs more than everything else a load does.
    ProfileItem(const QByteArray& label, int kind, const QIcon& icon)
        : QTreeWidgetItem(QStringList{labelText(label)}, UserType),
          m_label(label),
          m_shown(labelText(label)) {
        setData(0, Qt::UserRole, kind);
        setIcon(0, icon);
    }
    ProfileItem(const QByteArray& label, int kind) : ProfileItem(label, kind, profileIcon(kind)) {}

    int kind() const { return data(0, Qt::UserRole).toInt(); }
    bool isFolder() const { return kind() == FolderTree::Folder; }
    bool isHost() const { return kind() == FolderTree::Host; }
    /// The label's bytes, as FOLDER.DAT and Host.DAT hold them.
    const QByteArray& label() const { return m_label; }
    const QString& labelShown() const { return m_shown; }
    void setLabel(const QByteArray& label) {
        m_label = label;
        m_shown = labelText(label);
        setText(0, m_shown);
    }

    bool operator<(const QTreeWidgetItem& other) const override {
        const QString& theirs =
            other.type() == UserType ? static_cast<const ProfileItem&>(other).m_shown : other.text(0);
        return labelSortsBefore(m_shown, theirs);
    }

private:
    QByteArray m_label;
    QString m_shown;
};

ProfileItem* asProfile(QTreeWidgetItem* item) {
    return item && item->type() == QTreeWidgetItem::UserType ? static_cast<ProfileItem*>(item) : nullptr;
}
const ProfileItem* asProfile(const QTreeWidgetItem* item) {
    return item && item->type() == QTreeWidgetItem::UserType ? static_cast<const ProfileItem*>(item)
                                                             : nullptr;
}

bool isFolderNode(const QTreeWidgetItem* item) {
    const ProfileItem* node = asProfile(item);
    return node && node->isFolder();
}
bool isHostNode(const QTreeWidgetItem* item) {
    const ProfileItem* node = asProfile(item);
    return node && node->isHost();
}

/// Builds the items of from's subtree under to. Without recursion, and before to joins a view, so
/// that a large tree is neither deep on the stack nor inserted into the view one row at a time.
void addItems(const FolderTree::Node& from, QTreeWidgetItem* to) {
    const QIcon folderIcon = profileIcon(FolderTree::Folder);
    const QIcon hostIcon = profileIcon(FolderTree::Host);
    std::vector<std::pair<const FolderTree::Node*, QTreeWidgetItem*>> pending{{&from, to}};
    while (!pending.empty()) {
        const auto [node, item] = pending.back();
        pending.pop_back();
        QList<QTreeWidgetItem*> children;
        children.reserve(static_cast<qsizetype>(node->children.size()));
        for (const auto& child : node->children) {
            auto* childItem =
                new ProfileItem(child->label, child->kind, child->isFolder() ? folderIcon : hostIcon);
            children.append(childItem);
            if (!child->children.empty())
                pending.emplace_back(child.get(), childItem);
        }
        item->addChildren(children);
    }
}

/// The tree on screen as it is shown, siblings in their order.
void addNodes(const QTreeWidgetItem* from, FolderTree::Node& to) {
    std::vector<std::pair<const QTreeWidgetItem*, FolderTree::Node*>> pending{{from, &to}};
    while (!pending.empty()) {
        const auto [item, node] = pending.back();
        pending.pop_back();
        for (int i = 0; i < item->childCount(); ++i) {
            const ProfileItem* child = asProfile(item->child(i));
            if (!child)
                continue;
            FolderTree::Node& childNode = node->appendChild(child->label(), child->kind());
            if (child->childCount() > 0)
                pending.emplace_back(child, &childNode);
        }
    }
}

}  // namespace

LoginDialog::LoginDialog(Operator& op, QWidget* parent) : QDialog(parent), m_op(op) {
    build();
    loadTree();
}

LoginDialog::LoginDialog(Operator& op, const QString& presetPort, QWidget* parent) : LoginDialog(op, parent) {
    setPort(presetPort);
}

void LoginDialog::build() {
    setWindowTitle(QStringLiteral("Login"));

    auto* form = new QFormLayout;
    m_user = formField(form, QStringLiteral("User name"), this);
    m_password = formField(form, QStringLiteral("Password"), this, FieldMode::Masked);
    m_host = formField(form, QStringLiteral("Host"), this);
    m_port = formField(form, QStringLiteral("Port"), this);

    auto* connectButton = namedButton(QStringLiteral("Connect"), this);
    connectButton->setDefault(true);
    auto* cancelButton = namedButton(QStringLiteral("Cancel"), this);
    auto* loginButtons = new QHBoxLayout;
    loginButtons->addStretch();
    loginButtons->addWidget(connectButton);
    loginButtons->addWidget(cancelButton);

    auto* group = namedGroup(kTreeTitle, this);
    m_tree = new QTreeWidget(group);
    m_tree->setObjectName(kTreeTitle);
    m_tree->setColumnCount(1);
    m_tree->header()->hide();
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    // Labels are edited in place only right after "Create Folder" makes a folder; a double-click
    // on a folder opens and closes it.
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto* createFolderButton = namedButton(QStringLiteral("Create Folder"), group);
    auto* deleteFolderButton = namedButton(QStringLiteral("Delete Folder"), group);
    auto* editFolderButton = namedButton(QStringLiteral("Edit Folder"), group);
    auto* newHostButton = namedButton(QStringLiteral("New Host"), group);
    auto* deleteHostButton = namedButton(QStringLiteral("Delete Host"), group);
    auto* editHostButton = namedButton(QStringLiteral("Edit Host"), group);
    auto* treeButtons = new QGridLayout;
    treeButtons->addWidget(createFolderButton, 0, 0);
    treeButtons->addWidget(deleteFolderButton, 0, 1);
    treeButtons->addWidget(editFolderButton, 0, 2);
    treeButtons->addWidget(newHostButton, 1, 0);
    treeButtons->addWidget(deleteHostButton, 1, 1);
    treeButtons->addWidget(editHostButton, 1, 2);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_tree);
    groupLayout->addLayout(treeButtons);

    auto* left = new QVBoxLayout;
    left->addLayout(form);
    left->addStretch();
    left->addLayout(loginButtons);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(group, 1);
    resize(640, 360);

    connect(m_tree, &QTreeWidget::currentItemChanged, this, &LoginDialog::nodeSelected);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, &LoginDialog::nodeDoubleClicked);
    connect(m_tree, &QTreeWidget::itemChanged, this, &LoginDialog::labelEdited);
    connect(createFolderButton, &QPushButton::clicked, this, &LoginDialog::createFolder);
    connect(deleteFolderButton, &QPushButton::clicked, this, &LoginDialog::deleteFolder);
    connect(editFolderButton, &QPushButton::clicked, this, &LoginDialog::editFolder);
    connect(newHostButton, &QPushButton::clicked, this, &LoginDialog::newHost);
    connect(deleteHostButton, &QPushButton::clicked, this, &LoginDialog::deleteHost);
    connect(editHostButton, &QPushButton::clicked, this, &LoginDialog::editHost);
    connect(connectButton, &QPushButton::clicked, this, &LoginDialog::connectToServer);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void LoginDialog::setPort(const QString& port) {
    m_port->setText(port);
}

LoginValues LoginDialog::values() const {
    return {m_user->text(), m_password->text(), m_host->text(), m_port->text(), m_tls, m_ssh, m_sshSecrets};
}

void LoginDialog::loadTree() {
    const FolderTree saved = m_folders.load();
    // The root is not stored, so a renamed root is "Host" again at every login.
    auto* root = new ProfileItem(FolderTree::rootLabel().toUtf8(), FolderTree::Folder);
    addItems(saved.root(), root);
    m_tree->addTopLevelItem(root);
    m_tree->expandAll();
    const QString report = m_folders.loadReport();
    if (!report.isEmpty())
        m_op.inform(report, appTitle(), MessageIcon::Warning);
    checkHostFile();
}

void LoginDialog::checkHostFile() {
    HostFile hosts;
    const HostFile::Scan scan = hosts.scan();
    const QString name = QString::fromStdString(hosts.path());
    if (scan.status != FileRead::Read && scan.status != FileRead::Missing) {
        m_op.inform(QStringLiteral("%1 cannot be read (%2). Saved hosts cannot fill the login fields.")
                        .arg(name, QString::fromStdString(scan.reason)),
                    appTitle(), MessageIcon::Warning);
        return;
    }
    if (scan.trailingBytes > 0)
        m_op.inform(
            QStringLiteral("%1 ends in %2 bytes that are not a whole host record. They are kept as they are.")
                .arg(name)
                .arg(scan.trailingBytes),
            appTitle(), MessageIcon::Warning);
    if (scan.readableByOthers) {
        // Made private at once, so the person hears of it once and not at every login.
        const QString done = ::chmod(hosts.path().c_str(), S_IRUSR | S_IWUSR) == 0
                                 ? QStringLiteral("It is now readable by you alone.")
                                 : QStringLiteral("It could not be made readable by you alone (%1).")
                                       .arg(QString::fromStdString(errorText(errno)));
        m_op.inform(
            QStringLiteral("%1 could be read by other users of this computer, and it holds passwords in "
                           "plain text. %2")
                .arg(name, done),
            appTitle(), MessageIcon::Warning);
    }
}

void LoginDialog::saveTree() {
    FolderTree tree;
    if (const QTreeWidgetItem* root = m_tree->topLevelItem(0))
        addNodes(root, tree.root());
    const bool consented = m_folders.needsConsent() && m_op.ask(m_folders.consentQuestion());
    const FolderFile::SaveResult result = m_folders.save(tree, consented);
    if (!result.message.isEmpty())
        m_op.inform(result.message, appTitle(),
                    result.saved ? MessageIcon::Information : MessageIcon::Warning);
}

QTreeWidgetItem* LoginDialog::selectedNode() const {
    return m_tree->currentItem();
}

bool LoginDialog::isRoot(const QTreeWidgetItem* node) const {
    return node && node == m_tree->topLevelItem(0);
}

QTreeWidgetItem* LoginDialog::addNode(QTreeWidgetItem* parent, const QByteArray& label, int kind) {
    auto* node = new ProfileItem(label, kind);
    // Siblings are always in order, so the new node goes after the last one not sorting after it;
    // sorting them all again would cost a long folder far more.
    int low = 0;
    int high = parent->childCount();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (*node < *parent->child(middle))
            high = middle;
        else
            low = middle + 1;
    }
    parent->insertChild(low, node);
    parent->setExpanded(true);
    m_tree->setCurrentItem(node);
    return node;
}

void LoginDialog::rename(QTreeWidgetItem* node, const QByteArray& label) {
    ProfileItem* item = asProfile(node);
    if (!item)
        return;
    item->setLabel(label);
    if (QTreeWidgetItem* parent = item->parent())
        parent->sortChildren(0, Qt::AscendingOrder);
}

void LoginDialog::fillFromSavedHost(const QTreeWidgetItem* node) {
    const ProfileItem* item = asProfile(node);
    if (!item || !item->isHost())
        return;
    const auto saved = HostFile().findFirst(item->label().toStdString());
    if (!saved)
        return;
    const KeptSecret password = knownPassword(*saved);
    fillLoginFields(QString::fromStdString(saved->hostName), QString::fromStdString(saved->port),
                    QString::fromStdString(password.secret.value_or(std::string())),
                    QString::fromStdString(saved->userName));
    // Connect asks for what is not known: a password asked at every login, or one the keyring
    // could not give (never an empty one sent in its place).
    m_passwordUnknown = !password.secret;
    m_passwordProblem = password.problem;
    m_tls = TlsSettingsFile().find(saved->displayName);
    m_ssh = SshSettingsFile().find(saved->displayName);
    m_profile = saved->displayName;
}

void LoginDialog::fillLoginFields(const QString& host, const QString& port, const QString& password,
                                  const QString& user) {
    m_host->setText(host);
    m_port->setText(port);
    m_password->setText(password);
    m_user->setText(user);
}

void LoginDialog::nodeSelected(QTreeWidgetItem* node) {
    fillFromSavedHost(node);
}

void LoginDialog::nodeDoubleClicked(QTreeWidgetItem* node) {
    // Folders open and close on a double-click by themselves.
    if (!isHostNode(node))
        return;
    fillFromSavedHost(node);
    connectToServer();
}

void LoginDialog::labelEdited(QTreeWidgetItem* node) {
    ProfileItem* item = asProfile(node);
    if (!item || item->text(0) == item->labelShown())
        return;
    const QString edited = item->text(0);
    if (refuseUnacceptableLabel(m_op, edited)) {
        item->setText(0, item->labelShown());
        return;
    }
    rename(item, labelBytes(edited, item->label()));
    saveTree();
}

void LoginDialog::createFolder() {
    QTreeWidgetItem* parent = selectedNode();
    if (!isFolderNode(parent))
        return;
    FolderNameDialog dialog(m_op, this);
    if (m_op.runModal(dialog) != QDialog::Accepted)
        return;
    const QString name = dialog.folderName();
    if (refuseUnacceptableLabel(m_op, name))
        return;
    QTreeWidgetItem* folder = addNode(parent, name.toUtf8(), FolderTree::Folder);
    saveTree();
    folder->setFlags(folder->flags() | Qt::ItemIsEditable);
    m_tree->editItem(folder, 0);
}

void LoginDialog::deleteFolder() {
    QTreeWidgetItem* node = selectedNode();
    if (!node)
        return;
    if (!m_op.ask(QStringLiteral("May I delete truly?")))
        return;
    if (isRoot(node))
        qDeleteAll(node->takeChildren());  // the root itself always stays
    else if (isFolderNode(node))
        delete node;
    saveTree();
}

void LoginDialog::editFolder() {
    QTreeWidgetItem* node = selectedNode();
    if (!isFolderNode(node))
        return;
    FolderNameDialog dialog(m_op, this);
    dialog.setFolderName(asProfile(node)->labelShown());
    if (m_op.runModal(dialog) != QDialog::Accepted)
        return;
    const QString name = dialog.folderName();
    if (refuseUnacceptableLabel(m_op, name))
        return;
    rename(node, labelBytes(name, asProfile(node)->label()));
    saveTree();
}

void LoginDialog::newHost() {
    QTreeWidgetItem* parent = selectedNode();
    if (!isFolderNode(parent))
        return;
    HostDialog dialog(m_op, this);
    if (m_op.runModal(dialog) != QDialog::Accepted)
        return;
    if (refuseUnacceptableLabel(m_op, dialog.displayName()))
        return;
    addNode(parent, dialog.displayNameBytes(), FolderTree::Host);
    // After the selection, which filled the fields from the first saved host of that name.
    fillLoginFields(dialog.hostName(), dialog.port(), dialog.password(), dialog.userName());
    m_tls = dialog.tls();
    m_ssh = dialog.ssh();
    m_profile = dialog.displayNameBytes().toStdString();
    m_passwordUnknown = dialog.secretPlace() == SecretPlace::Asked;
    m_passwordProblem.clear();
    saveTree();
}

void LoginDialog::deleteHost() {
    QTreeWidgetItem* node = selectedNode();
    if (!isHostNode(node))
        return;
    if (!m_op.ask(QStringLiteral("May I delete truly?")))
        return;
    const std::string name = asProfile(node)->label().toStdString();
    HostFile hosts;
    // The settings go with the last live host of that name; a same-named host still saved keeps them.
    const auto record = hosts.findFirst(name);
    if (record && hosts.markDeadFirst(name) && !hosts.findFirst(name)) {
        // Before the SSH settings go: the SSH secret is forgotten only where it is this host's.
        forgetKeyringSecrets(*record);
        TlsSettingsFile().remove(name);
        SshSettingsFile().remove(name);
        SecretPlaceFile().remove(name);
    }
    delete node;
    saveTree();
}

void LoginDialog::editHost() {
    QTreeWidgetItem* node = selectedNode();
    if (!isHostNode(node))
        return;
    HostDialog dialog(m_op, asProfile(node)->label(), this);
    if (m_op.runModal(dialog) != QDialog::Accepted)
        return;
    if (refuseUnacceptableLabel(m_op, dialog.displayName()))
        return;
    rename(node, dialog.displayNameBytes());
    m_tree->setCurrentItem(node);
    fillLoginFields(dialog.hostName(), dialog.port(), dialog.password(), dialog.userName());
    m_tls = dialog.tls();
    m_ssh = dialog.ssh();
    m_profile = dialog.displayNameBytes().toStdString();
    m_passwordUnknown = dialog.secretPlace() == SecretPlace::Asked;
    m_passwordProblem.clear();
    saveTree();
}

void LoginDialog::connectToServer() {
    if (!parsePort(m_port->text())) {
        m_op.inform(QStringLiteral("The port number must be a number from 1 to 65535."), appTitle(),
                    MessageIcon::Warning);
        return;
    }
    if (m_passwordUnknown && m_password->text().isEmpty()) {
        const auto typed = askPassword(m_op, this, m_user->text(), m_host->text(), m_passwordProblem);
        if (!typed)
            return;
        m_password->setText(QString::fromStdString(*typed));
    }
    const auto secrets = askSshSecrets(m_op, this, m_ssh, m_profile);
    if (!secrets)
        return;
    m_sshSecrets = *secrets;
    accept();
}

void LoginDialog::selectSavedHost(const QString& name) {
    if (name.isEmpty())
        return;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it)
        if (isHostNode(*it) && asProfile(*it)->labelShown() == name) {
            m_tree->setCurrentItem(*it);
            return;
        }
}

QString LoginDialog::savedHostName() const {
    return labelText(QByteArray::fromStdString(m_profile));
}

LoginPrompt makeLoginPrompt(Operator& op, QWidget* parent) {
    // The prompt may outlive the window it was made for.
    QPointer<QWidget> owner(parent);
    return [&op, owner](const QString& presetPort, const QString& profile) -> std::optional<LoginValues> {
        LoginDialog dialog(op, presetPort, owner.data());
        dialog.selectSavedHost(profile);
        if (op.runModal(dialog) != QDialog::Accepted)
            return std::nullopt;
        LoginValues values = dialog.values();
        values.profile = dialog.savedHostName();
        return values;
    };
}

}  // namespace velkin
