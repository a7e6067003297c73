#pragma once

#include <QGroupBox>

#include "ColumnDefinition.h"
#include "TypeRuleControls.h"

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLineEdit;
class QPushButton;

namespace velkin {

/// The controls that describe one field: name, type, length, default, attributes and keys, with the
/// type rules applied as the type changes. A new table's fields and a field added to a table are
/// edited with the same group, so both follow one set of controls and rules.
class FieldEditorGroup : public QGroupBox {
    Q_OBJECT
public:
    /// The texts that differ between the screens that use the group.
    struct Labels {
        QString title;
        QString fieldName;
        /// The unique key's box; its name field is this and " name".
        QString unique;
        /// The check's box; its text field is this and " name".
        QString check;
    };
    /// namedKeys: whether the index may be named and a unique key given; otherwise those controls
    /// show where they would go and stay disabled, as references and checks always do.
    FieldEditorGroup(const Labels& labels, bool namedKeys, QWidget* parent);

    /// The field as the controls describe it; the typed name made plain.
    ColumnDefinition column() const;
    /// Shows a field, every attribute included, so that a field loaded and put back loses nothing.
    void load(const ColumnDefinition& column);
    /// Empties the controls (the unique key's name excepted) and puts the keyboard on the field name.
    void clear();
    /// A button of the screen's own in the row under the controls, after "Clear".
    QPushButton* addButton(const QString& label);

    QLineEdit* fieldName() const { return m_fieldName; }
    QLineEdit* indexName() const { return m_indexName; }
    QLineEdit* uniqueName() const { return m_uniqueName; }
    QCheckBox* primaryKey() const { return m_primary; }
    QCheckBox* index() const { return m_index; }
    QCheckBox* unique() const { return m_unique; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyTypeRules();

    QLineEdit* m_fieldName = nullptr;
    QComboBox* m_type = nullptr;
    QLineEdit* m_length = nullptr;
    QLineEdit* m_default = nullptr;
    QCheckBox* m_unsigned = nullptr;
    QCheckBox* m_zerofill = nullptr;
    QCheckBox* m_binary = nullptr;
    QCheckBox* m_autoInc = nullptr;
    QCheckBox* m_null = nullptr;
    QCheckBox* m_primary = nullptr;
    QCheckBox* m_index = nullptr;
    QLineEdit* m_indexName = nullptr;
    QCheckBox* m_unique = nullptr;
    QLineEdit* m_uniqueName = nullptr;
    QCheckBox* m_reference = nullptr;
    QCheckBox* m_check = nullptr;
    QHBoxLayout* m_buttons = nullptr;
    TypeRuleControls m_typeRules;
};

}  // namespace velkin
