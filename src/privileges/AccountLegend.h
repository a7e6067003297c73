#pragma once

#include <QIcon>
#include <QWidget>

#include "GrantListText.h"

namespace velkin {

/// The picture of an account in the lists, by its host class.
QIcon accountPicture(HostClass hostClass);

/// The legend under the account lists: the three account pictures with what each one means.
class AccountLegend : public QWidget {
    Q_OBJECT
public:
    explicit AccountLegend(QWidget* parent = nullptr);
};

}  // namespace velkin
