#include "AboutDialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "widgets/Pictures.h"

namespace velkin {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("VelkinSorvaneのﾊﾞｰｼﾞｮﾝ情報"));
    auto* icon = new QLabel(this);
    icon->setPixmap(applicationIcon().pixmap(32, 32));
    auto* version = new QLabel(QStringLiteral("VelkinSorvane Version 1.13 Release"), this);
    version->setObjectName(QStringLiteral("version"));
    auto* logo = new QLabel(this);
    logo->setPixmap(aboutLogo());
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, Qt::AlignTop);
    layout->addWidget(version, 0, 1);
    layout->addWidget(ok, 0, 2, Qt::AlignTop);
    layout->addWidget(logo, 1, 1);
}

}  // namespace velkin
