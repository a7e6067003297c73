#pragma once

#include <string_view>

#include <QIcon>
#include <QWidget>

#include "GrantListText.h"

namespace velkin {

/// The picture of an account in the lists, by its host class.
QIcon accountPicture(HostClass hostClass);
/// The three account pictures drawn once, for lists that show many accounts.
class AccountPictures {
public:
    AccountPictures();
    /// The picture of an account with this host.
    const QIcon& of(std::string_view host) const;

private:
    QIcon m_pictures[3];  // by HostClass
};

/// The legend under the account lists: the three account pictures with what each one means.
class AccountLegend : public QWidget {
    Q_OBJECT
public:
    explicit AccountLegend(QWidget* parent = nullptr);
};

}  // namespace velkin
