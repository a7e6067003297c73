#include "AccountLegend.h"

#include <QHBoxLayout>
#include <QLabel>

#include "widgets/Pictures.h"

namespace velkin {

QIcon accountPicture(HostClass hostClass) {
    switch (hostClass) {
        case HostClass::Local:
            return localAccountPicture();
        case HostClass::Global:
            return globalAccountPicture();
        case HostClass::Restricted:
            break;
    }
    return restrictedAccountPicture();
}

AccountLegend::AccountLegend(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("legend"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    for (HostClass hostClass : {HostClass::Local, HostClass::Global, HostClass::Restricted}) {
        auto* picture = new QLabel(this);
        picture->setPixmap(accountPicture(hostClass).pixmap(32, 32));
        auto* text = new QLabel(hostClassText(hostClass), this);
        text->setObjectName(hostClassText(hostClass));
        row->addWidget(picture);
        row->addWidget(text);
        row->addSpacing(12);
    }
    row->addStretch();
}

AccountPictures::AccountPictures()
    : m_pictures{accountPicture(HostClass::Local), accountPicture(HostClass::Global),
                 accountPicture(HostClass::Restricted)} {}

const QIcon& AccountPictures::of(std::string_view host) const {
    return m_pictures[static_cast<int>(hostClassOf(host))];
}

}  // namespace velkin
