#pragma once

#include <QString>
#include <initializer_list>
#include <utility>

class QCheckBox;
class QEvent;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QWidget;

namespace velkin {

// Small builders for the schema screens' controls: each control is named after its visible label,
// so that tests and accessibility tools find it by what the operator sees.

QPushButton* namedButton(const QString& label, QWidget* parent);
QCheckBox* namedCheckBox(const QString& label, QWidget* parent);
QLineEdit* namedLineEdit(const QString& name, QWidget* parent);
/// A read-only list of whole rows with the given headers and pixel widths.
QTableWidget* reportList(const QString& name, std::initializer_list<std::pair<const char*, int>> columns,
                         QWidget* parent);
/// A loss of the keyboard focus that the operator caused (a popup of the control itself is none).
bool isFocusLoss(const QEvent* event);

}  // namespace velkin
