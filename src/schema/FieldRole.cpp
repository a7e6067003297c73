#include "FieldRole.h"

#include "widgets/Pictures.h"

namespace velkin {

FieldRole fieldRole(const QString& key) {
    if (key.startsWith(QStringLiteral("PRI")))
        return FieldRole::PrimaryKey;
    if (key.startsWith(QStringLiteral("MUL")))
        return FieldRole::MultipleKey;
    return FieldRole::Plain;
}

QIcon fieldPicture(FieldRole role) {
    switch (role) {
        case FieldRole::PrimaryKey:
            return primaryKeyPicture();
        case FieldRole::MultipleKey:
            return multipleKeyPicture();
        case FieldRole::Plain:
            break;
    }
    return plainFieldPicture();
}

}  // namespace velkin
