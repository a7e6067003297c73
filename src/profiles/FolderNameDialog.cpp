#include "FolderNameDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ProfileLabel.h"

namespace velkin {

FolderNameDialog::FolderNameDialog(Operator& op, QWidget* parent) : QDialog(parent), m_op(op) {
    setWindowTitle(QStringLiteral("Create Folder"));

    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("Folder Name"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Folder Name"), m_name);

    auto* buttons = new QDialogButtonBox(this);
    auto* create = buttons->addButton(QStringLiteral("Create"), QDialogButtonBox::AcceptRole);
    create->setObjectName(QStringLiteral("Create"));
    create->setDefault(true);
    auto* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("Cancel"));
    connect(create, &QPushButton::clicked, this, &FolderNameDialog::create);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

QString FolderNameDialog::folderName() const {
    return m_name->text();
}

void FolderNameDialog::setFolderName(const QString& name) {
    m_name->setText(name);
}

void FolderNameDialog::create() {
    // Refused here so the person can mend the name instead of typing it again.
    if (refuseUnacceptableLabel(m_op, folderName()))
        return;
    accept();
}

}  // namespace velkin
