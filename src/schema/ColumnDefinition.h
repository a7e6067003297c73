#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velkin {

class ServerDialect;

/// A value as a complete literal: quotes and escapes as the connection needs them.
using ValueQuoter = std::function<std::string(std::string_view)>;

/// One field as the schema screens edit it. The name is a plain name (quoted where a statement
/// needs it); type and length are written as typed; the default is a value (see defaultLiteral).
struct ColumnDefinition {
    std::string name;
    std::string type;
    std::string length;
    bool isUnsigned = false;
    bool zerofill = false;
    bool null = false;
    bool primaryKey = false;
    bool index = false;
    bool binary = false;
    bool autoIncrement = false;
    std::string defaultValue;
};

/// The classes that decide which attributes a type takes, in the editor and in the statement.
enum class TypeClass {
    IntegerLike,  ///< INT ... FLOAT: length, sign, nullability, default, auto increment
    FixedPoint,   ///< DOUBLE, DECIMAL: as integer-like, but the keyboard goes on to the default
    Character,    ///< CHAR, VARCHAR: length and BINARY
    Other,        ///< blobs, dates and times: nothing but the type
    Unknown,      ///< a type text outside the list: written bare, leaves the editor alone
};

/// The twenty column types in the order the type lists show them.
const std::vector<std::string>& columnTypes();
TypeClass typeClass(std::string_view type);

/// Where the keyboard goes once a type is chosen: to the field the operator fills next.
enum class FocusAfterType { Length, Default, Unchanged };

/// What choosing a type does to the editor's controls.
struct TypeRules {
    bool applies = false;  ///< false: the controls stay as they are
    bool lengthEnabled = false;
    bool signEnabled = false;  ///< UNSIGNED and ZEROFILL
    bool binaryEnabled = false;
    FocusAfterType focus = FocusAfterType::Unchanged;
};
TypeRules typeRules(TypeClass typeClass);

/// The default the operator typed, as SQL: a text already in single quotes, NULL, a number for a
/// numeric type and the current time for a time type stand as typed; anything else is quoted.
std::string defaultLiteral(std::string_view typed, TypeClass typeClass, std::string_view type,
                           const ValueQuoter& quote);

/// What follows the type in a field's definition: the length and the attributes its class carries.
/// The one grammar of a field for both the new table and the added field.
std::string columnAttributes(const ColumnDefinition& column, const ValueQuoter& quote);
/// A field's line of CREATE TABLE: name, blank, type, attributes.
std::string columnDefinitionText(const ServerDialect& dialect, const ColumnDefinition& column,
                                 const ValueQuoter& quote);

}  // namespace velkin
