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

HostDialog::HostDialog(Operator& op, const QString& displayName, QWidget* parent)
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

void HostDialog::fillFrom(const HostRecord& record) {
    m_displayName->setText(QString::fromStdString(record.displayName));
    m_hostName->setText(QString::fromStdString(record.hostName));
    m_userName->setText(QString::fromStdString(record.userName));
    m_password->setText(QString::fromStdString(record.password));
    m_port->setText(QString::fromStdString(record.port));
}

void HostDialog::fillOthersFromSavedHost() {
    const auto saved = HostFile().findFirst(displayName().toStdString());
    if (!saved)
        return;
    m_hostName->setText(QString::fromStdString(saved->hostName));
    m_userName->setText(QString::fromStdString(saved->userName));
    m_password->setText(QString::fromStdString(saved->password));
    m_port->setText(QString::fromStdString(saved->port));
}

HostRecord HostDialog::record() const {
    HostRecord record;
    record.displayName = displayName().toStdString();
    record.hostName = hostName().toStdString();
    record.userName = userName().toStdString();
    record.password = password().toStdString();
    record.port = port().toStdString();
    return record;
}

void HostDialog::create() {
    if (refuseUnacceptableLabel(m_op, displayName()))
        return;
    if (!m_op.ask(QStringLiteral("Is it really very well?")))
        return;
    HostFile hosts;
    if (m_editing)
        hosts.overwriteFirst(m_key.toStdString(), record());
    else
        hosts.append(record());
    // The tree takes the host whether or not the file could be written; the person sees the values
    // in the login fields and can connect with them all the same.
    accept();
}

}  // namespace velkin
