#include "TypeRuleControls.h"

#include <QCheckBox>
#include <QLineEdit>

#include "ColumnDefinition.h"

namespace velkin {

namespace {

void allow(QCheckBox* box, bool enabled) {
    // A disabled attribute must not keep a tick that the statement would never write.
    if (!enabled)
        box->setChecked(false);
    box->setEnabled(enabled);
}

}  // namespace

void TypeRuleControls::apply(const QString& type) const {
    const TypeRules rules = typeRules(typeClass(type.toStdString()));
    if (!rules.applies)
        return;
    if (!rules.lengthEnabled)
        length->clear();
    length->setEnabled(rules.lengthEnabled);
    allow(isUnsigned, rules.signEnabled);
    allow(zerofill, rules.signEnabled);
    allow(binary, rules.binaryEnabled);
    if (rules.focus == FocusAfterType::Length)
        length->setFocus();
    else if (rules.focus == FocusAfterType::Default)
        defaultValue->setFocus();
}

}  // namespace velkin
