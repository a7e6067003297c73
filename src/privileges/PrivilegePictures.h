#pragma once

#include <QIcon>

#include "GrantListText.h"

namespace velkin {

// 32 by 32 pictures of the privilege lists, drawn by us; what lies outside the drawing is transparent.

/// A user: the granted users of a database.
QIcon userPicture();
/// An account by its host class: a desktop computer (local), a globe with a computer (global), a
/// server linked to a notebook (restricted).
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
/// A server with an arrow turning back in front of it: a host that is refused.
QIcon refusedHostPicture();
/// A server with an arrow pointing into it: a host that is let in with restricted privileges.
QIcon restrictedHostPicture();

}  // namespace velkin
