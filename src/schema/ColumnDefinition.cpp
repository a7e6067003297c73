#include "ColumnDefinition.h"

#include <algorithm>
#include <cctype>

#include "session/SqlText.h"

namespace velkin {

namespace {

std::string upper(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return out;
}

/// A decimal number as SQL reads it: sign, digits, fraction, exponent.
bool isNumber(std::string_view text) {
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t from = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
            ++i;
        return i - from;
    };
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    std::size_t count = digits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        count += digits();
    }
    if (count == 0)
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '-' || text[i] == '+'))
            ++i;
        if (digits() == 0)
            return false;
    }
    return i == text.size();
}

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

std::string defaultLiteral(std::string_view typed, TypeClass typeClass, std::string_view type,
                           const ValueQuoter& quote) {
    if (typed.size() >= 2 && typed.front() == '\'' && typed.back() == '\'')
        return std::string(typed);
    if (upper(typed) == "NULL")
        return "NULL";
    if ((typeClass == TypeClass::IntegerLike || typeClass == TypeClass::FixedPoint) && isNumber(typed))
        return std::string(typed);
    const std::string folded = upper(typed);
    if ((type == "TIMESTAMP" || type == "DATETIME") &&
        (folded.rfind("CURRENT_TIMESTAMP", 0) == 0 || folded.rfind("NOW(", 0) == 0))
        return std::string(typed);
    return quote(typed);
}

std::string columnAttributes(const ColumnDefinition& column, const ValueQuoter& quote) {
    // Every piece brings its own blanks, so neighbours meet with two; the server does not mind.
    std::string text;
    const TypeClass kind = typeClass(column.type);
    const auto nullAndDefault = [&] {
        std::string part = column.null ? " NULL " : " NOT NULL ";
        if (!column.defaultValue.empty())
            part += " DEFAULT " + defaultLiteral(column.defaultValue, kind, column.type, quote);
        return part;
    };
    switch (kind) {
        case TypeClass::IntegerLike:
        case TypeClass::FixedPoint:
            if (!column.length.empty())
                text += "(" + column.length + ") ";
            if (column.isUnsigned)
                text += " UNSIGNED ";
            if (column.zerofill)
                text += " ZEROFILL ";
            text += nullAndDefault();
            if (column.autoIncrement)
                text += " AUTO_INCREMENT ";
            break;
        case TypeClass::Character:
            if (!column.length.empty())
                text += "(" + column.length + ") ";
            if (column.binary)
                text += " BINARY ";
            text += nullAndDefault();
            break;
        case TypeClass::Other:
        case TypeClass::Unknown:
            // Nullability and default count for every type: leaving them out made NOT NULL
            // columns nullable and lost their defaults without a word.
            text += nullAndDefault();
            break;
    }
    return text;
}

std::string columnDefinitionText(const ServerDialect& dialect, const ColumnDefinition& column,
                                 const ValueQuoter& quote) {
    return quoteName(column.name, dialect) + " " + column.type + columnAttributes(column, quote);
}

}  // namespace velkin
