#pragma once

#include <QIcon>
#include <QString>

namespace velkin {

/// The role of a field in the table's keys, as the field list's row picture shows it.
enum class FieldRole { PrimaryKey, MultipleKey, Plain };

/// The role from the Key value the server reports for a field ("PRI...", "MUL...", anything else).
FieldRole fieldRole(const QString& key);
QIcon fieldPicture(FieldRole role);

}  // namespace velkin
