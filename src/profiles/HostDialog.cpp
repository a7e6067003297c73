#include "HostDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "HostFile.h"
#include "ProfileLabel.h"
#include "session/Operator.h"

namespace velkin {

namespace {

QLineEdit* addField(QWidget* owner, QFormLayout* form, const QString& label) {
    auto* field = new QLineEdit(owner);
    field->setObjectName(label);
    form->addRow(label, field);
    return field;
}

}  // namespace

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
    m_displayName = addField(this, form, QStringLiteral("Display Name"));
    m_userName = addField(this, form, QStringLiteral("User Name"));
    m_password = addField(this, form, QStringLiteral("Password"));
    m_password->setEchoMode(QLineEdit::Password);
    m_hostName = addField(this, form, QStringLiteral("Host Name"));
    m_port = addField(this, form, QStringLiteral("Port No"));

    auto* buttons = new QDialogButtonBox(this);
    auto* create = buttons->addButton(QStringLiteral("Create"), QDialogButtonBox::AcceptRole);
    create->setObjectName(QStringLiteral("Create"));
    create->setDefault(true);
    auto* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("Cancel"));

    connect(m_displayName, &QLineEdit::editingFinished, this, &HostDialog::fillOthersFromSavedHost);
    connect(create, &QPushButton::clicked, this, &HostDialog::create);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
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
}

HostRecord HostDialog::record() const {
    HostRecord record;
    record.displayName = displayNameBytes().toStdString();
    record.hostName = written(hostName(), m_saved.hostName);
    record.userName = written(userName(), m_saved.userName);
    record.password = written(password(), m_saved.password);
    record.port = written(port(), m_saved.port);
    return record;
}

void HostDialog::create() {
    if (refuseUnacceptableLabel(m_op, displayName()))
        return;
    if (!m_op.ask(QStringLiteral("Is it really very well?")))
        return;
    HostFile hosts;
    // Editing a host that has no record writes nothing, as before; only a write that was tried
    // and failed is reported.
    const bool failed = m_editing ? hosts.findFirst(m_key.toStdString()) &&
                                        !hosts.overwriteFirst(m_key.toStdString(), record())
                                  : !hosts.append(record());
    if (failed)
        m_op.inform(QStringLiteral("%1 could not be written (%2). The host is not saved.")
                        .arg(QString::fromStdString(hosts.path()), QString::fromStdString(hosts.lastError())),
                    appTitle(), MessageIcon::Warning);
    // The tree takes the host whether or not the file could be written; the person sees the values
    // in the login fields and can connect with them all the same.
    accept();
}

}  // namespace velkin
