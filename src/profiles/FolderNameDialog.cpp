#include "FolderNameDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ProfileLabel.h"
#include "widgets/Kit.h"

namespace velkin {

FolderNameDialog::FolderNameDialog(Operator& op, QWidget* parent) : QDialog(parent), m_op(op) {
    setWindowTitle(QStringLiteral("Create Folder"));

    auto* form = new QFormLayout;
    m_name = formField(form, QStringLiteral("Folder Name"), this);

    auto* buttons = new QDialogButtonBox(this);
    auto* create = acceptCancelButtons(buttons, QStringLiteral("Create"), this);
    connect(create, &QPushButton::clicked, this, &FolderNameDialog::create);

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
