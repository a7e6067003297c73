#include "HostDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "HostFile.h"
#include "HostKeyBox.h"
#include "ProfileLabel.h"
#include "ProfileSecrets.h"
#include "SshSettingsFile.h"
#include "TlsSettingsFile.h"
#include "session/CSorvaneDoc.h"
#include "session/Operator.h"
#include "widgets/Kit.h"

namespace velkin {

HostDialog::HostDialog(Operator& op, QWidget* parent) : QDialog(parent), m_op(op) {
    build();
    setWindowTitle(QStringLiteral("Create Host Infomation"));
}

HostDialog::HostDialog(Operator& op, const QByteArray& displayName, QWidget* parent)
    : QDialog(parent), m_op(op), m_editing(true), m_key(displayName) {
    build();
    setWindowTitle(QStringLiteral("Host edit"));
    if (const auto saved = HostFile().findFirst(displayName.toStdString()))
        fillFrom(*saved);
}

void HostDialog::build() {
    auto* form = new QFormLayout;
    m_displayName = formField(form, QStringLiteral("Display Name"), this);
    m_userName = formField(form, QStringLiteral("User Name"), this);
    m_password = formField(form, QStringLiteral("Password"), this, FieldMode::Masked);
    m_hostName = formField(form, QStringLiteral("Host Name"), this);
    m_port = formField(form, QStringLiteral("Port No"), this);
    buildSecretPlace(form);

    auto* buttons = new QDialogButtonBox(this);
    auto* create = acceptCancelButtons(buttons, QStringLiteral("Create"), this);

    connect(m_displayName, &QLineEdit::editingFinished, this, &HostDialog::fillOthersFromSavedHost);
    connect(create, &QPushButton::clicked, this, &HostDialog::create);

    auto* tlsGroup = namedGroup(QStringLiteral("Encryption"), this);
    auto* tlsForm = new QFormLayout(tlsGroup);
    buildTls(tlsForm);

    auto* sshGroup = namedGroup(QStringLiteral("SSH tunnel"), this);
    auto* sshForm = new QFormLayout(sshGroup);
    buildSsh(sshForm);
    connect(m_secretPlace, &QComboBox::currentIndexChanged, this, &HostDialog::sshAuthChanged);
    sshAuthChanged();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(tlsGroup);
    layout->addWidget(sshGroup);
    layout->addWidget(buttons);
}

void HostDialog::buildTls(QFormLayout* form) {
    m_tlsMode = new QComboBox(this);
    m_tlsMode->setObjectName(QStringLiteral("TLS"));
    m_tlsMode->addItem(QStringLiteral("Off"), static_cast<int>(TlsMode::Off));
    m_tlsMode->addItem(QStringLiteral("Required"), static_cast<int>(TlsMode::Required));
    m_tlsMode->addItem(QStringLiteral("Required, server certificate verified"),
                       static_cast<int>(TlsMode::Verified));
    form->addRow(QStringLiteral("TLS"), m_tlsMode);
    addFileField(form, m_caFile, QStringLiteral("CA file"));
    addFileField(form, m_certFile, QStringLiteral("Client certificate"));
    addFileField(form, m_keyFile, QStringLiteral("Client key"));
    connect(m_tlsMode, &QComboBox::currentIndexChanged, this, &HostDialog::tlsModeChanged);
    tlsModeChanged();
}

void HostDialog::buildSecretPlace(QFormLayout* form) {
    m_secretPlace = new QComboBox(this);
    m_secretPlace->setObjectName(QStringLiteral("Password place"));
    m_secretPlace->addItem(QStringLiteral("kept in Host.DAT"), static_cast<int>(SecretPlace::HostDat));
    m_secretPlace->addItem(QStringLiteral("kept in the desktop's keyring"),
                           static_cast<int>(SecretPlace::Keyring));
    m_secretPlace->addItem(QStringLiteral("asked at every login"), static_cast<int>(SecretPlace::Asked));
    form->addRow(QStringLiteral("Password place"), m_secretPlace);
}

SecretPlace HostDialog::secretPlace() const {
    return static_cast<SecretPlace>(m_secretPlace->currentData().toInt());
}

void HostDialog::showSecret(const HostRecord& record) {
    const SecretPlaceEntry entry = SecretPlaceFile().entry(record.displayName);
    m_savedPlace = entry.place;
    m_secretPlace->setCurrentIndex(m_secretPlace->findData(static_cast<int>(entry.place)));
    m_sshSecret->clear();
    if (entry.place != SecretPlace::Keyring)
        return;
    const KeptSecret password = keptPassword(record);
    m_password->setText(QString::fromStdString(password.secret.value_or(std::string())));
    const KeptSecret sshSecret =
        keptSshSecret(record.displayName, SshSettingsFile().find(record.displayName));
    m_sshSecret->setText(QString::fromStdString(sshSecret.secret.value_or(std::string())));
    // The entries may have just moved to the host's own id. An id whose entries were kept for another
    // login is not this host's: it gets one of its own when it is saved.
    m_savedId = password.foreign || sshSecret.foreign ? std::string()
                                                      : SecretPlaceFile().entry(record.displayName).id;
    for (const QString& problem : {password.problem, sshSecret.problem})
        if (!problem.isEmpty())
            m_op.inform(problem, appTitle(), MessageIcon::Warning);
}

std::string HostDialog::formerName() const {
    return m_editing ? m_key.toStdString() : displayNameBytes().toStdString();
}

bool HostDialog::keepSecret() {
    // A host keeps its id for as long as its password stays in the keyring, renamed or not.
    m_secretId = m_savedPlace == SecretPlace::Keyring && !m_savedId.empty() ? m_savedId : newSecretId();
    if (secretPlace() == SecretPlace::Keyring) {
        const QString failure = keepPassword(m_secretId, record(), password());
        if (!failure.isEmpty()) {
            m_op.inform(
                QStringLiteral("The desktop's keyring cannot keep the password (%1). Choose \"kept in "
                               "Host.DAT\" or \"asked at every login\".")
                    .arg(failure),
                appTitle(), MessageIcon::Warning);
            return false;
        }
    } else if (!m_savedId.empty()) {
        forgetPassword(m_savedId);
        forgetSshSecret(m_savedId);
    }
    SecretPlaceFile places;
    storeBeside(places, SecretPlaceEntry{secretPlace(), m_secretId},
                QStringLiteral("The password's place is not saved."));
    return true;
}

void HostDialog::buildSsh(QFormLayout* form) {
    m_sshHost = formField(form, QStringLiteral("SSH host"), this);
    m_sshPort = formField(form, QStringLiteral("SSH port"), this);
    m_sshPort->setText(QStringLiteral("22"));
    m_sshUser = formField(form, QStringLiteral("SSH user"), this);
    m_sshAuth = new QComboBox(this);
    m_sshAuth->setObjectName(QStringLiteral("SSH authentication"));
    m_sshAuth->addItem(QStringLiteral("SSH agent"), static_cast<int>(SshAuth::Agent));
    m_sshAuth->addItem(QStringLiteral("Key file"), static_cast<int>(SshAuth::KeyFile));
    m_sshAuth->addItem(QStringLiteral("Password"), static_cast<int>(SshAuth::Password));
    form->addRow(QStringLiteral("SSH authentication"), m_sshAuth);
    addFileField(form, m_sshKeyFile, QStringLiteral("SSH key file"));
    m_sshSecret = formField(form, QStringLiteral("SSH password or passphrase"), this, FieldMode::Masked);
    m_sshSecret->setToolTip(
        QStringLiteral("Kept in the desktop's keyring when the password is; "
                       "otherwise asked at login."));
    connect(m_sshAuth, &QComboBox::currentIndexChanged, this, &HostDialog::sshAuthChanged);
    m_hostKey = new HostKeyBox(m_op, this);
    form->addRow(QStringLiteral("Trusted host key"), m_hostKey);
    const auto tellHostKey = [this] { m_hostKey->showHost(m_sshHost->text(), m_sshPort->text()); };
    connect(m_sshHost, &QLineEdit::textChanged, this, tellHostKey);
    connect(m_sshPort, &QLineEdit::textChanged, this, tellHostKey);
}

void HostDialog::sshAuthChanged() {
    const auto auth = static_cast<SshAuth>(m_sshAuth->currentData().toInt());
    m_sshKeyFile->setEnabled(auth == SshAuth::KeyFile);
    // Only the keyring may keep it: no file of ours ever holds an SSH secret.
    m_sshSecret->setEnabled(auth != SshAuth::Agent && secretPlace() == SecretPlace::Keyring);
}

QString HostDialog::sshSecret() const {
    return m_sshSecret->isEnabled() ? m_sshSecret->text() : QString();
}

bool HostDialog::keepSshSecret() {
    // Only a host whose password is in the keyring keeps its SSH secret there.
    if (secretPlace() != SecretPlace::Keyring)
        return true;
    if (sshSecret().isEmpty() || !ssh().isOn()) {
        forgetSshSecret(m_secretId);
        return true;
    }
    const QString failure = velkin::keepSshSecret(m_secretId, ssh(), sshSecret());
    if (failure.isEmpty())
        return true;
    m_op.inform(
        QStringLiteral("The desktop's keyring cannot keep the SSH password or passphrase (%1).").arg(failure),
        appTitle(), MessageIcon::Warning);
    return false;
}

SshOptions HostDialog::ssh() const {
    SshOptions ssh;
    ssh.host = m_sshHost->text().trimmed().toStdString();
    if (!ssh.isOn())
        return ssh;
    ssh.port = parsePort(m_sshPort->text()).value_or(0);
    ssh.user = m_sshUser->text().trimmed().toStdString();
    ssh.auth = static_cast<SshAuth>(m_sshAuth->currentData().toInt());
    if (ssh.auth == SshAuth::KeyFile)
        ssh.keyFile = m_sshKeyFile->text().trimmed().toStdString();
    return ssh;
}

void HostDialog::showSsh(const SshOptions& ssh) {
    m_sshHost->setText(QString::fromStdString(ssh.host));
    m_sshPort->setText(QString::number(ssh.isOn() ? ssh.port : 22));
    m_sshUser->setText(QString::fromStdString(ssh.user));
    m_sshAuth->setCurrentIndex(m_sshAuth->findData(static_cast<int>(ssh.auth)));
    m_sshKeyFile->setText(QString::fromStdString(ssh.keyFile));
}

bool HostDialog::refuseSsh() {
    if (m_sshHost->text().trimmed().isEmpty() || parsePort(m_sshPort->text()))
        return false;
    m_op.inform(QStringLiteral("The SSH port must be a number from 1 to 65535."), appTitle(),
                MessageIcon::Warning);
    return true;
}

void HostDialog::addFileField(QFormLayout* form, QLineEdit*& field, const QString& label) {
    field = new QLineEdit(this);
    field->setObjectName(label);
    auto* browse = new QPushButton(QStringLiteral("..."), this);
    browse->setObjectName(label + QStringLiteral(" ..."));
    browse->setAutoDefault(false);
    browse->setFixedWidth(browse->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    QLineEdit* target = field;
    connect(browse, &QPushButton::clicked, this, [this, target, label] {
        const QString chosen =
            m_op.chooseOpenFile(this, label, QStringLiteral("PEM files (*.pem *.crt *.key);;All files (*)"));
        if (!chosen.isEmpty())
            target->setText(chosen);
    });
    auto* row = new QHBoxLayout;
    row->addWidget(field, 1);
    row->addWidget(browse);
    form->addRow(label, row);
}

void HostDialog::tlsModeChanged() {
    const auto mode = static_cast<TlsMode>(m_tlsMode->currentData().toInt());
    // The CA only serves the check of the server's certificate; the client certificate is offered
    // whenever the connection is encrypted.
    m_caFile->setEnabled(mode == TlsMode::Verified);
    m_certFile->setEnabled(mode != TlsMode::Off);
    m_keyFile->setEnabled(mode != TlsMode::Off);
}

TlsOptions HostDialog::tls() const {
    TlsOptions tls;
    tls.mode = static_cast<TlsMode>(m_tlsMode->currentData().toInt());
    if (!tls.isOn())
        return tls;
    // Paths are the file system's bytes, which are UTF-8 here.
    if (tls.mode == TlsMode::Verified)
        tls.caFile = m_caFile->text().trimmed().toStdString();
    tls.certFile = m_certFile->text().trimmed().toStdString();
    tls.keyFile = m_keyFile->text().trimmed().toStdString();
    return tls;
}

void HostDialog::showTls(const TlsOptions& tls) {
    m_tlsMode->setCurrentIndex(m_tlsMode->findData(static_cast<int>(tls.mode)));
    m_caFile->setText(QString::fromStdString(tls.caFile));
    m_certFile->setText(QString::fromStdString(tls.certFile));
    m_keyFile->setText(QString::fromStdString(tls.keyFile));
}

QString HostDialog::displayName() const {
    return m_displayName->text();
}
QByteArray HostDialog::displayNameBytes() const {
    return labelBytes(displayName(), QByteArray::fromStdString(m_saved.displayName));
}

QString HostDialog::userName() const {
    return m_userName->text();
}
QString HostDialog::password() const {
    return m_password->text();
}
QString HostDialog::hostName() const {
    return m_hostName->text();
}
QString HostDialog::port() const {
    return m_port->text();
}

namespace {

QString shown(const std::string& bytes) {
    return labelText(QByteArray::fromStdString(bytes));
}

std::string written(const QString& text, const std::string& saved) {
    return labelBytes(text, QByteArray::fromStdString(saved)).toStdString();
}

}  // namespace

void HostDialog::fillFrom(const HostRecord& record) {
    m_saved = record;
    m_displayName->setText(shown(record.displayName));
    m_hostName->setText(shown(record.hostName));
    m_userName->setText(shown(record.userName));
    m_password->setText(shown(record.password));
    m_port->setText(shown(record.port));
    showSecret(record);
    showTls(TlsSettingsFile().find(record.displayName));
    showSsh(SshSettingsFile().find(record.displayName));
}

void HostDialog::fillOthersFromSavedHost() {
    const auto saved = HostFile().findFirst(displayNameBytes().toStdString());
    if (!saved)
        return;
    m_saved = *saved;
    m_hostName->setText(shown(saved->hostName));
    m_userName->setText(shown(saved->userName));
    m_password->setText(shown(saved->password));
    m_port->setText(shown(saved->port));
    showSecret(*saved);
    showTls(TlsSettingsFile().find(saved->displayName));
    showSsh(SshSettingsFile().find(saved->displayName));
}

HostRecord HostDialog::record() const {
    HostRecord record;
    record.displayName = displayNameBytes().toStdString();
    record.hostName = written(hostName(), m_saved.hostName);
    record.userName = written(userName(), m_saved.userName);
    // A password kept elsewhere leaves the record's field empty.
    record.password =
        secretPlace() == SecretPlace::HostDat ? written(password(), m_saved.password) : std::string();
    record.port = written(port(), m_saved.port);
    return record;
}

void HostDialog::create() {
    if (refuseUnacceptableLabel(m_op, displayName()))
        return;
    const TlsOptions settings = tls();
    if (settings.certFile.empty() != settings.keyFile.empty()) {
        m_op.inform(
            QStringLiteral("A client certificate needs its key file, and a key file its certificate."),
            appTitle(), MessageIcon::Warning);
        return;
    }
    if (refuseSsh())
        return;
    if (!m_op.ask(QStringLiteral("Is it really very well?")))
        return;
    if (!keepSecret() || !keepSshSecret())
        return;
    HostFile hosts;
    // Editing a host that has no record writes nothing, as before; only a write that was tried
    // and failed is reported.
    // A host whose five values are unchanged (only its encryption was edited) is not rewritten, so
    // the record keeps the bytes an older copy of the program left after each text.
    const auto saved = m_editing ? hosts.findFirst(m_key.toStdString()) : std::nullopt;
    const bool unchanged = saved && saved->toBytes() == record().toBytes();
    const bool failed = m_editing
                            ? saved && !unchanged && !hosts.overwriteFirst(m_key.toStdString(), record())
                            : !hosts.append(record());
    if (failed)
        m_op.inform(QStringLiteral("%1 could not be written (%2). The host is not saved.")
                        .arg(QString::fromStdString(hosts.path()), QString::fromStdString(hosts.lastError())),
                    appTitle(), MessageIcon::Warning);
    TlsSettingsFile tlsFile;
    storeBeside(tlsFile, tls(), QStringLiteral("The host's encryption settings are not saved."));
    SshSettingsFile sshFile;
    storeBeside(sshFile, ssh(), QStringLiteral("The host's SSH tunnel is not saved."));
    // The tree takes the host whether or not the file could be written; the person sees the values
    // in the login fields and can connect with them all the same.
    accept();
}

template <typename File, typename Value>
void HostDialog::storeBeside(File& file, const Value& value, const QString& lost) {
    // A new host takes over a line its name may have left behind, so the settings shown are the
    // ones that apply.
    if (file.store(formerName(), displayNameBytes().toStdString(), value))
        return;
    m_op.inform(QStringLiteral("%1 could not be written (%2). %3")
                    .arg(QString::fromStdString(file.path()), QString::fromStdString(file.lastError()), lost),
                appTitle(), MessageIcon::Warning);
}

}  // namespace velkin
