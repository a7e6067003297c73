#include "UserEditorDialog.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <optional>

#include "AccountStatements.h"
#include "AccountWriter.h"
#include "DatabaseDialog.h"
#include "GrantStatements.h"
#include "PrivilegeFlags.h"
#include "SelectDatabaseDialog.h"
#include "UserTableStatements.h"
#include "session/Connection.h"
#include "session/Operator.h"
#include "session/SqlText.h"
#include "widgets/Kit.h"
#include "widgets/Pictures.h"

namespace velkin {

namespace {
constexpr unsigned kGrantReload = 1;  // REFRESH_GRANT
}  // namespace

UserEditorDialog::UserEditorDialog(Connection& connection, Operator& op, QWidget* parent)
    : QDialog(parent),
      m_connection(connection),
      m_op(op),
      m_calls(connection, op),
      m_steps(m_calls, op),
      m_mode(NewUser) {
    build();
}

UserEditorDialog::UserEditorDialog(Connection& connection, Operator& op, const QString& host,
                                   const QString& user, const QString& password, QWidget* parent)
    : QDialog(parent),
      m_connection(connection),
      m_op(op),
      m_calls(connection, op),
      m_steps(m_calls, op),
      m_mode(ExistingUser),
      m_keyHost(host),
      m_keyUser(user) {
    build();
    m_host->setText(host);
    m_user->setText(user);
    m_password->setText(password);
    open();
}

namespace {
int runEditor(Operator& op, UserEditorDialog& dialog, std::optional<AccountKey>* endedOn) {
    int result = op.runModal(dialog);
    dialog.reloadGrants();
    if (endedOn)
        *endedOn = dialog.account();
    return result;
}
}  // namespace

int UserEditorDialog::run(Connection& connection, Operator& op, QWidget* parent,
                          std::optional<AccountKey>* endedOn) {
    UserEditorDialog dialog(connection, op, parent);
    return runEditor(op, dialog, endedOn);
}

int UserEditorDialog::run(Connection& connection, Operator& op, const QString& host, const QString& user,
                          const QString& password, QWidget* parent, std::optional<AccountKey>* endedOn) {
    UserEditorDialog dialog(connection, op, host, user, password, parent);
    return runEditor(op, dialog, endedOn);
}

void UserEditorDialog::reloadGrants() {
    m_calls.refresh(kGrantReload);
}

std::optional<AccountKey> UserEditorDialog::account() const {
    if (m_mode != ExistingUser || m_deleted)
        return std::nullopt;
    return AccountKey{m_keyHost, m_keyUser};
}

// ---- screen ---------------------------------------------------------------------------------

void UserEditorDialog::build() {
    setWindowTitle(QStringLiteral("User information"));

    auto* top = new QGridLayout;
    m_host = labelledField(top, 0, QStringLiteral("Host name"), this);
    m_user = labelledField(top, 1, QStringLiteral("User"), this);
    m_password = labelledField(top, 2, QStringLiteral("Password"), this, FieldMode::Masked);
    m_check = labelledField(top, 3, QStringLiteral("Check"), this, FieldMode::Masked);
    for (QLineEdit* edit : {m_host, m_user, m_password, m_check})
        edit->setMaxLength(255);
    m_check->installEventFilter(this);
    connect(m_password, &QLineEdit::textEdited, this, [this] { m_passwordEdited = true; });
    connect(m_check, &QLineEdit::textEdited, this, [this] { m_passwordEdited = true; });

    auto* update = namedButton(QStringLiteral("Update"), this);
    update->setDefault(true);
    auto* close = namedButton(QStringLiteral("Close"), this);
    auto* deleteUser = namedButton(QStringLiteral("Delete User"), this);
    connect(update, &QPushButton::clicked, this, &UserEditorDialog::update);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(deleteUser, &QPushButton::clicked, this, &UserEditorDialog::deleteUser);

    auto* topButtons = new QVBoxLayout;
    topButtons->addWidget(update);
    topButtons->addWidget(close);
    topButtons->addWidget(deleteUser);
    topButtons->addStretch();
    top->addLayout(topButtons, 0, 2, 4, 1);

    // Global privileges: boxes kept in mysql.user column order, shown in the two columns people know.
    auto* global = new QGroupBox(QStringLiteral("Detailed setup"), this);
    auto* admin = namedButton(QStringLiteral("Admin"), global);
    auto* common = namedButton(QStringLiteral("Common user"), global);
    connect(admin, &QPushButton::clicked, this, &UserEditorDialog::setAdmin);
    connect(common, &QPushButton::clicked, this, &UserEditorDialog::setCommonUser);
    for (const auto& column : privilegeColumns(GrantTable::User)) {
        auto* box = new QCheckBox(QString::fromUtf8(column.label), global);
        box->setObjectName(QStringLiteral("user ") + column.label);
        m_globalBoxes.push_back(box);
    }
    auto* globalGrid = new QGridLayout(global);
    globalGrid->addWidget(admin, 0, 0);
    globalGrid->addWidget(common, 0, 1);
    const int globalLeft[] = {0, 1, 2, 3, 4, 10, 12};   // Select Insert Update Delete Create Grant Index
    const int globalRight[] = {5, 6, 7, 8, 9, 11, 13};  // Drop Reload Shutdown Process File References Alter
    for (int i = 0; i < 7; ++i) {
        globalGrid->addWidget(m_globalBoxes[globalLeft[i]], i + 1, 0);
        globalGrid->addWidget(m_globalBoxes[globalRight[i]], i + 1, 1);
    }

    // The database block.
    auto* block = new QGroupBox(QStringLiteral("Detailed setup (database unit)"), this);
    auto* addition = namedButton(QStringLiteral("Database addition"), block);
    connect(addition, &QPushButton::clicked, this, &UserEditorDialog::addDatabase);
    m_databases = new QListWidget(block);
    m_databases->setObjectName(QStringLiteral("Database name"));
    m_databases->setViewMode(QListView::IconMode);
    m_databases->setIconSize(QSize(32, 32));
    m_databases->setResizeMode(QListView::Adjust);
    m_databases->setMovement(QListView::Static);
    m_databases->setGridSize(QSize(100, 56));
    connect(m_databases, &QListWidget::itemSelectionChanged, this, [this] {
        const auto selected = m_databases->selectedItems();
        if (!selected.isEmpty())
            chooseEntry(selected.first());
    });
    connect(m_databases, &QListWidget::itemDoubleClicked, this, &UserEditorDialog::openDatabase);
    // An entry's host is always the account's own: the field shows it and takes no other.
    m_blockHost = namedLineEdit(QStringLiteral("db Host"), block, FieldMode::ReadOnly);
    m_blockHost->setMaxLength(255);
    for (const auto& column : privilegeColumns(GrantTable::Db)) {
        auto* box = new QCheckBox(QString::fromUtf8(column.label), block);
        box->setObjectName(QStringLiteral("db ") + column.label);
        m_databaseBoxes.push_back(box);
    }
    auto* blockUpdate = namedButton(QStringLiteral("Update"), block, QStringLiteral("db Update"));
    auto* blockDelete = namedButton(QStringLiteral("Delete"), block, QStringLiteral("db Delete"));
    connect(blockUpdate, &QPushButton::clicked, this, &UserEditorDialog::updateDatabase);
    connect(blockDelete, &QPushButton::clicked, this, &UserEditorDialog::deleteDatabase);

    auto* blockGrid = new QGridLayout(block);
    blockGrid->addWidget(addition, 0, 0);
    blockGrid->addWidget(new QLabel(QStringLiteral("Database name"), block), 1, 0);
    blockGrid->addWidget(m_databases, 2, 0, 7, 1);
    blockGrid->addWidget(new QLabel(QStringLiteral("Host"), block), 0, 1);
    blockGrid->addWidget(m_blockHost, 0, 2);
    for (int i = 0; i < 5; ++i) {
        blockGrid->addWidget(m_databaseBoxes[i], i + 1, 1);
        blockGrid->addWidget(m_databaseBoxes[i + 5], i + 1, 2);
    }
    blockGrid->addWidget(blockUpdate, 7, 1);
    blockGrid->addWidget(blockDelete, 7, 2);
    blockGrid->setColumnStretch(0, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(global);
    layout->addWidget(block, 1);
    resize(560, 640);
}

bool UserEditorDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_check && event->type() == QEvent::FocusOut)
        checkFieldLeft();
    return QDialog::eventFilter(watched, event);
}

std::vector<bool> UserEditorDialog::flags(const std::vector<QCheckBox*>& boxes) const {
    std::vector<bool> on;
    for (auto* box : boxes)
        on.push_back(box->isChecked());
    return on;
}

bool UserEditorDialog::accountSaved() {
    // Before the first save there is no account: these commands would otherwise act on the rows of
    // the anonymous account.
    if (m_mode == ExistingUser)
        return true;
    m_steps.stop(QStringLiteral("The user has not been saved yet. Press \"Update\" first."));
    return false;
}

// ---- opening and the database list ---------------------------------------------------------

void UserEditorDialog::open() {
    if (!m_steps.useGrantDatabase(false))
        return;
    // Where mysql.user is not the classic table its columns are named, so that the flags keep
    // their positions.
    std::string sql = m_connection.dialect().usesAccountStatements()
                          ? accountRowQuery(m_connection, u8(m_keyHost), u8(m_keyUser))
                          : userRowQuery(m_connection, u8(m_keyHost), u8(m_keyUser));
    if (m_calls.query(sql) != 0) {
        m_op.inform(m_steps.withError(QStringLiteral("There is no right to access.")));
        return;
    }
    Result rows = m_calls.storeResult();
    if (!rows) {
        m_op.inform(QStringLiteral("User information was not found."));
        return;
    }
    Row row = rows.fetchRow();
    if (!row) {
        m_op.inform(QStringLiteral("User information was not able to be taken out."));
        return;
    }
    std::vector<bool> on = readFlags(row, GrantTable::User);
    for (size_t i = 0; i < m_globalBoxes.size(); ++i)
        if (on[i])
            m_globalBoxes[i]->setChecked(true);
    refreshDatabaseList();
}

void UserEditorDialog::refreshDatabaseList() {
    // Only the account's own entries: rows of the same user name at another host are another
    // account's, or no account's, and whatever is done here must not land on them.
    Result rows = m_calls.select(accountDbRowsQuery(m_connection, u8(m_keyHost), u8(m_keyUser)));
    if (!rows) {
        m_op.inform(m_steps.withError(QStringLiteral("There is no right to access.")));
        return;
    }
    QSignalBlocker quiet(m_databases);
    m_databases->clear();
    const QIcon picture = databasePicture();
    while (Row row = rows.fetchRow()) {
        auto* item = new QListWidgetItem(picture, qs(row.text(1)));
        item->setData(Qt::UserRole, qs(row.text(0)));
        m_databases->insertItem(0, item);
    }
}

void UserEditorDialog::chooseEntry(QListWidgetItem* item) {
    if (!item)
        return;
    m_selectedEntryHost = item->data(Qt::UserRole).toString();
    m_blockHost->setText(m_selectedEntryHost);
    if (!m_steps.useGrantDatabase(false))
        return;
    std::string sql = dbRowQuery(m_connection, u8(item->text()), u8(m_selectedEntryHost), u8(m_keyUser));
    if (m_calls.query(sql) != 0) {
        m_steps.stopWithError(QStringLiteral("There is no right to access."));
        return;
    }
    Result rows = m_calls.storeResult();
    Row row = rows.fetchRow();
    if (!row) {
        m_steps.stop(QStringLiteral("User information was not found."));
        return;
    }
    std::vector<bool> on = readFlags(row, GrantTable::Db);
    for (size_t i = 0; i < m_databaseBoxes.size(); ++i)
        m_databaseBoxes[i]->setChecked(on[i]);
    m_heldDatabaseFlags = on;
    m_selectedDatabase = item->text();
}

void UserEditorDialog::openDatabase(QListWidgetItem* item) {
    if (!item)
        return;
    if (m_openDatabaseDialog) {
        m_openDatabaseDialog(item->text());
        return;
    }
    DatabaseDialog dialog(m_connection, m_op, item->text(), this);
    m_op.runModal(dialog);
}

// ---- global part ------------------------------------------------------------------------------

void UserEditorDialog::setAdmin() {
    for (auto* box : m_globalBoxes)
        box->setChecked(true);
    m_op.inform(QStringLiteral("It becomes an Admin setup."), infoCaption(), MessageIcon::Information);
}

void UserEditorDialog::setCommonUser() {
    for (auto* box : m_globalBoxes)
        box->setChecked(false);
}

void UserEditorDialog::checkFieldLeft() {
    if (m_password->text() == m_check->text())
        return;
    m_op.inform(QStringLiteral("A password is inputted once again."));
    m_passwordEdited = false;
    m_password->clear();
    m_check->clear();
}

void UserEditorDialog::update() {
    if (!m_op.ask(QStringLiteral("May I update truly?")))
        return;
    const bool statements = m_connection.dialect().usesAccountStatements();
    if (m_mode == NewUser)
        statements ? saveNewAccount() : saveNew();
    else
        statements ? saveExistingAccount() : saveExisting();
}

void UserEditorDialog::afterSave(const QString& message) {
    if (m_steps.reload())
        m_op.inform(message);
}

bool UserEditorDialog::passwordConfirmed() {
    if (m_password->text() == m_check->text())
        return true;
    m_steps.stop(QStringLiteral("A password is checked."));
    m_password->clear();
    m_check->clear();
    return false;
}

void UserEditorDialog::saveNewAccount() {
    if (!passwordConfirmed())
        return;
    const QString host = m_host->text(), user = m_user->text(), password = m_password->text();
    AccountWriter writer(m_connection, m_steps);
    bool created = false;
    const bool saved = writer.create({u8(host), u8(user), u8(password), true, flags(m_globalBoxes)}, created);
    if (created) {
        // The account exists from here on, even when its privileges failed: a second Update changes it.
        m_keyHost = host;
        m_keyUser = user;
        m_mode = ExistingUser;
        m_passwordEdited = false;
    }
    if (saved)
        afterSave(QStringLiteral("It added to the database and data was confirmed."));
}

void UserEditorDialog::saveExistingAccount() {
    const QString host = m_host->text(), user = m_user->text(), password = m_password->text();
    AccountEdit edit{u8(host), u8(user), u8(password), false, flags(m_globalBoxes)};
    if (m_passwordEdited && password == m_check->text()) {
        edit.setPassword = true;
        m_op.inform(QStringLiteral("A password is changed.!!"), infoCaption(), MessageIcon::Information);
    }
    AccountWriter writer(m_connection, m_steps);
    bool renamed = false;
    const bool saved = writer.change(u8(m_keyHost), u8(m_keyUser), edit, renamed);
    if (renamed) {
        // The account now answers to the new name only; the next save must address it so.
        m_keyHost = host;
        m_keyUser = user;
    }
    if (saved) {
        m_passwordEdited = false;
        refreshDatabaseList();
        afterSave(QStringLiteral("The database was updated and data was confirmed."));
    }
}

void UserEditorDialog::saveNew() {
    if (!passwordConfirmed())
        return;
    const QString host = m_host->text(), user = m_user->text(), password = m_password->text();
    const std::string sql =
        userRowInsert(m_connection, u8(host), u8(user), u8(password), flags(m_globalBoxes));
    if (!m_steps.useGrantDatabase(true))
        return;
    if (m_calls.query(sql) != 0) {
        m_op.inform(m_steps.withError(QStringLiteral("It failed in renewal of user information.")),
                    QStringLiteral("Velkin"), MessageIcon::Stop);
        return;
    }
    m_keyHost = host;
    m_keyUser = user;
    m_mode = ExistingUser;
    afterSave(QStringLiteral("It added to the database and data was confirmed."));
}

void UserEditorDialog::saveExisting() {
    const QString host = m_host->text(), user = m_user->text(), password = m_password->text();
    const std::string newPassword = u8(password);
    std::optional<std::string_view> setPassword;
    if (m_passwordEdited && password == m_check->text()) {
        setPassword = newPassword;
        m_op.inform(QStringLiteral("A password is changed.!!"), infoCaption(), MessageIcon::Information);
    }
    const std::string keyHost = u8(m_keyHost), keyUser = u8(m_keyUser);
    if (m_calls.query(userRowUpdate(m_connection, u8(host), u8(user), setPassword, flags(m_globalBoxes),
                                    keyHost, keyUser)) != 0) {
        m_steps.stopWithError(QStringLiteral("It failed in renewal of user information."));
        return;
    }
    // The account answers to the saved name from here on: every later command addresses it so.
    m_keyHost = host;
    m_keyUser = user;
    // The account's privilege rows follow a changed host or user name; only this account's rows, so
    // that the same user name at another host keeps its grants.
    for (const auto& sql : accountGrantRowsMove(m_connection, u8(host), u8(user), keyHost, keyUser)) {
        if (m_calls.query(sql) != 0) {
            m_op.inform(m_steps.withError(QStringLiteral("It failed in renewal of database information.")));
            return;
        }
    }
    refreshDatabaseList();
    afterSave(QStringLiteral("The database was updated and data was confirmed."));
}

void UserEditorDialog::deleteUser() {
    if (!accountSaved())
        return;
    if (!m_op.ask(QStringLiteral("May I delete truly?")))
        return;
    if (!m_steps.deleteAccount(u8(m_keyHost), u8(m_keyUser)))
        return;
    m_deleted = true;
    accept();
}

// ---- database block -----------------------------------------------------------------------------

void UserEditorDialog::addDatabase() {
    if (!accountSaved())
        return;
    SelectDatabaseDialog chooser(m_connection, m_op, this);
    if (m_op.runModal(chooser) != QDialog::Accepted)
        return;
    const QString database = chooser.chosenDatabase();
    if (database.isEmpty())
        return;
    if (database == QLatin1String("mysql")) {
        m_steps.stop(QStringLiteral("The database of mysql cannot be added."));
        return;
    }
    if (!m_steps.useGrantDatabase(true))
        return;
    // A database entry without privileges cannot be made with GRANT, so the row is written on every
    // server, for the edited account itself: it grants nothing, and goes with the account.
    if (!m_steps.writeGrantTable(emptyDbRowInsert(m_connection, u8(database), u8(m_keyHost), u8(m_keyUser)),
                                 QStringLiteral("There is no right to access.")))
        return;
    refreshDatabaseList();
}

bool UserEditorDialog::entryConfirmed(const QString& question) {
    if (!accountSaved())
        return false;
    if (m_selectedDatabase.isEmpty()) {
        m_steps.stop(QStringLiteral("A database is chosen."));
        return false;
    }
    return m_op.ask(question);
}

DatabaseEntry UserEditorDialog::chosenEntry() const {
    // The account's entries move with it when it is renamed, so its key finds the chosen one.
    return {u8(m_selectedDatabase), u8(m_keyHost), u8(m_keyUser)};
}

void UserEditorDialog::updateDatabase() {
    if (!entryConfirmed(QStringLiteral("May I update truly?")))
        return;
    const DatabaseEntry entry = chosenEntry();
    const std::string sql =
        dbRowUpdate(m_connection, {false, true, true}, entry, entry, flags(m_databaseBoxes));
    if (!m_steps.changeDatabaseEntry(entry, m_heldDatabaseFlags, entry, flags(m_databaseBoxes), sql,
                                     QStringLiteral("It failed in updating."),
                                     GrantWriting::StatementsWhereAvailable))
        return;
    m_heldDatabaseFlags = flags(m_databaseBoxes);
    refreshDatabaseList();
    m_op.inform(QStringLiteral("The database was updated."));
}

void UserEditorDialog::deleteDatabase() {
    if (!entryConfirmed(QStringLiteral("May I delete truly?")))
        return;
    if (!m_steps.removeDatabaseEntry(chosenEntry(), m_heldDatabaseFlags,
                                     GrantWriting::StatementsWhereAvailable))
        return;
    refreshDatabaseList();
}

}  // namespace velkin
