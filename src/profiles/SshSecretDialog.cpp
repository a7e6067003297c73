#include "SshSecretDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/Kit.h"

namespace velkin {

SshSecretDialog::SshSecretDialog(const QString& label, const QString& prompt, QWidget* parent,
                                 const QString& title)
    : QDialog(parent) {
    setWindowTitle(title);
    auto* text = new QLabel(prompt, this);
    text->setWordWrap(true);
    // A reason above the prompt (a keyring that could not answer) reads as sentences, not as a column.
    text->setMinimumWidth(text->fontMetrics().averageCharWidth() * 56);
    auto* form = new QFormLayout;
    m_secret = formField(form, label, this, FieldMode::Masked);
    auto* buttons = new QDialogButtonBox(this);
    auto* ok = acceptCancelButtons(buttons, QStringLiteral("OK"), this);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

QString SshSecretDialog::secret() const {
    return m_secret->text();
}

}  // namespace velkin
