#pragma once

#include <QString>
#include <initializer_list>
#include <utility>

class QCheckBox;
class QComboBox;
class QDialog;
class QDialogButtonBox;
class QEvent;
class QFormLayout;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;
class QWidget;

namespace velkin {

// The controls every screen is built from. Each control is named after its visible label (unless a
// name is given), so that tests and accessibility tools find it by what the operator sees.

/// A button that Enter in a field does not press.
QPushButton* namedButton(const QString& label, QWidget* parent, const QString& name = {});
QCheckBox* namedCheckBox(const QString& label, QWidget* parent);
QGroupBox* namedGroup(const QString& title, QWidget* parent);

enum class FieldMode { Editable, ReadOnly, Masked };
QLineEdit* namedLineEdit(const QString& name, QWidget* parent, FieldMode mode = FieldMode::Editable);

/// A field with its label on a row of a grid (label in column 0, field in column 1).
QLineEdit* labelledField(QGridLayout* grid, int row, const QString& name, QWidget* parent,
                         FieldMode mode = FieldMode::Editable);
/// A drop-down list with its label on a row of a grid.
QComboBox* labelledList(QGridLayout* grid, int row, const QString& name, QWidget* parent);
/// A field added to a form under its label.
QLineEdit* formField(QFormLayout* form, const QString& label, QWidget* parent,
                     FieldMode mode = FieldMode::Editable);

/// Adds to a dialog's button box its accepting button (the default, returned for the screen to
/// connect) and "Cancel", which rejects the dialog.
QPushButton* acceptCancelButtons(QDialogButtonBox* box, const QString& acceptLabel, QDialog* dialog);
/// Buttons at the right end of a row, where a dialog's closing buttons stand.
QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons);
/// A file name field under its label, with the "::" button that opens the chooser, in one row.
struct FileNameRow {
    QHBoxLayout* layout;
    QLineEdit* field;
    QPushButton* browse;
};
FileNameRow fileNameRow(const QString& label, QWidget* parent);

/// A list of 32 by 32 pictures whose labels may run over two lines, each entry in a cell of the given
/// width and height.
QListWidget* largeIconList(const QString& name, QWidget* parent, int cellWidth, int cellHeight);

/// A read-only list of whole rows with the given headers and pixel widths.
QTableWidget* reportList(const QString& name, std::initializer_list<std::pair<const char*, int>> columns,
                         QWidget* parent);
/// A loss of the keyboard focus that the operator caused (a popup of the control itself is none).
bool isFocusLoss(const QEvent* event);

}  // namespace velkin
