#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velkin {

/// One field as the schema screens edit it. Name, type, length and default are the operator's texts,
/// written into statements as typed (a string default carries the quotes the operator wrote).
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

/// What follows the type in a field's definition: the length and the attributes its class carries.
/// The one grammar of a field for both the new table and the added field.
std::string columnAttributes(const ColumnDefinition& column);
/// A field's line of CREATE TABLE: name, blank, type, attributes.
std::string columnDefinitionText(const ColumnDefinition& column);

}  // namespace velkin
