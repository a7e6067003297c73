#pragma once

#include <QString>

class QCheckBox;
class QLineEdit;
class QWidget;

namespace velkin {

/// The controls of a field editor that the chosen type governs. Both field editors apply the type
/// rules through this, so the new table and the added field follow one rule set.
struct TypeRuleControls {
    QLineEdit* length = nullptr;
    QCheckBox* isUnsigned = nullptr;
    QCheckBox* zerofill = nullptr;
    QCheckBox* binary = nullptr;
    QWidget* defaultValue = nullptr;

    /// Enables, disables and clears as the type's class says, then moves the keyboard on.
    /// A type outside the list leaves everything as it is.
    void apply(const QString& type) const;
};

}  // namespace velkin
