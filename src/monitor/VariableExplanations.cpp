#include "VariableExplanations.h"

#include <QHash>

namespace velkin {

namespace {
/// Explanations by variable name; entries are added here as they are written.
const QHash<QString, QString>& explanations() {
    static const QHash<QString, QString> table;
    return table;
}
}  // namespace

QString variableExplanation(const QString& name) {
    return explanations().value(name, QStringLiteral("Unknown (under the present investigation)"));
}

}  // namespace velkin
