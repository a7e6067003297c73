#pragma once

#include <QWidget>

namespace velkin {

/// The legend under the account lists: the three account pictures with what each one means.
class AccountLegend : public QWidget {
    Q_OBJECT
public:
    explicit AccountLegend(QWidget* parent = nullptr);
};

}  // namespace velkin
