#include "ColumnDefinition.h"

#include <algorithm>

namespace velkin {

namespace {

const char* const kIntegerLike[] = {"INT",       "INTEGER", "TINYINT", "SMALLINT",
                                    "MEDIUMINT", "BIGINT",  "REAL",    "FLOAT"};
const char* const kFixedPoint[] = {"DOUBLE", "DECIMAL"};
const char* const kCharacter[] = {"CHAR", "VARCHAR"};
const char* const kOther[] = {"TINYBLOB", "BLOB", "LONGBLOB", "TIMESTAMP",
                              "DATE",     "TIME", "DATETIME", "YEAR"};

template <std::size_t N>
bool among(const char* const (&names)[N], std::string_view type) {
    return std::find(std::begin(names), std::end(names), type) != std::end(names);
}

}  // namespace

const std::vector<std::string>& columnTypes() {
    static const std::vector<std::string> types = [] {
        std::vector<std::string> all;
        for (const char* t : kIntegerLike)
            all.emplace_back(t);
        for (const char* t : kFixedPoint)
            all.emplace_back(t);
        for (const char* t : kCharacter)
            all.emplace_back(t);
        for (const char* t : kOther)
            all.emplace_back(t);
        return all;
    }();
    return types;
}

TypeClass typeClass(std::string_view type) {
    if (among(kIntegerLike, type))
        return TypeClass::IntegerLike;
    if (among(kFixedPoint, type))
        return TypeClass::FixedPoint;
    if (among(kCharacter, type))
        return TypeClass::Character;
    if (among(kOther, type))
        return TypeClass::Other;
    return TypeClass::Unknown;
}

TypeRules typeRules(TypeClass typeClass) {
    switch (typeClass) {
        case TypeClass::IntegerLike:
            return {true, true, true, false, FocusAfterType::Length};
        case TypeClass::FixedPoint:
            return {true, true, true, false, FocusAfterType::Default};
        case TypeClass::Character:
            return {true, true, false, true, FocusAfterType::Length};
        case TypeClass::Other:
            return {true, false, false, false, FocusAfterType::Default};
        case TypeClass::Unknown:
            break;
    }
    return {};
}

std::string columnAttributes(const ColumnDefinition& column) {
    // Every piece brings its own blanks, so neighbours meet with two; the server does not mind.
    std::string text;
    const TypeClass kind = typeClass(column.type);
    switch (kind) {
        case TypeClass::IntegerLike:
        case TypeClass::FixedPoint:
            if (!column.length.empty())
                text += "(" + column.length + ") ";
            if (column.isUnsigned)
                text += " UNSIGNED ";
            if (column.zerofill)
                text += " ZEROFILL ";
            text += column.null ? " NULL " : " NOT NULL ";
            if (!column.defaultValue.empty())
                text += " DEFAULT " + column.defaultValue;
            if (column.autoIncrement)
                text += " AUTO_INCREMENT ";
            break;
        case TypeClass::Character:
            if (!column.length.empty())
                text += "(" + column.length + ") ";
            if (column.binary)
                text += " BINARY ";
            break;
        case TypeClass::Other:
        case TypeClass::Unknown:
            break;
    }
    return text;
}

std::string columnDefinitionText(const ColumnDefinition& column) {
    return column.name + " " + column.type + columnAttributes(column);
}

}  // namespace velkin
