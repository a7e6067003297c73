#include "ConsoleNames.h"

#include <algorithm>

#include "ConsoleNamesText.h"
#include "session/ColumnList.h"
#include "session/Connection.h"
#include "session/SqlText.h"

namespace velkin {

namespace {

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == '_' || c == '$';
}

/// The name that ends just before at (bare or in backticks); its start, or -1 when there is none.
int nameBefore(const QString& text, int at, QString& name) {
    if (at > 0 && text[at - 1] == '`') {
        // Inside backticks a doubled backtick stands for one.
        QString inner;
        int i = at - 2;
        for (; i >= 0; --i) {
            if (text[i] != '`') {
                inner.prepend(text[i]);
                continue;
            }
            if (i > 0 && text[i - 1] == '`') {
                inner.prepend('`');
                --i;
                continue;
            }
            break;
        }
        if (i < 0)
            return -1;
        name = inner;
        return i;
    }
    int i = at;
    while (i > 0 && isNameChar(text[i - 1]))
        --i;
    if (i == at)
        return -1;
    name = text.mid(i, at - i);
    return i;
}

}  // namespace

NamePlace namePlace(const QString& text, int cursor) {
    NamePlace place;
    cursor = std::clamp(cursor, 0, static_cast<int>(text.size()));
    int start = cursor;
    while (start > 0 && isNameChar(text[start - 1]))
        --start;
    place.start = start;
    place.typed = text.mid(start, cursor - start);
    int at = start;
    // At most database.table. stands before a column's name.
    for (int level = 0; level < 2 && at > 0 && text[at - 1] == '.'; ++level) {
        QString name;
        const int from = nameBefore(text, at - 1, name);
        if (from < 0)
            break;
        place.qualifiers.insert(place.qualifiers.begin(), u8(name));
        at = from;
    }
    return place;
}

void NameCatalog::setDatabases(std::vector<std::string> names) {
    m_databases = std::move(names);
}

void NameCatalog::setCurrent(std::string database) {
    m_current = std::move(database);
}

void NameCatalog::forget() {
    m_databases.reset();
    m_current.reset();
    m_tables.clear();
    m_columns.clear();
}

const std::vector<std::string>* NameCatalog::databases(Connection* reader) {
    if (!m_databases && reader) {
        // A list the server refuses is kept empty: asking again on the next key would fail again.
        std::vector<std::string> names;
        if (Result list = reader->listDbs())
            while (Row row = list.fetchRow())
                names.push_back(row.str(0));
        m_databases = std::move(names);
    }
    return m_databases ? &*m_databases : nullptr;
}

const std::string* NameCatalog::current(Connection* reader) {
    if (!m_current && reader) {
        std::string name;
        if (Result answer = reader->select(currentDatabaseQuery()))
            if (Row row = answer.fetchRow(); row && !row.isNull(0))
                name = row.str(0);
        m_current = std::move(name);
    }
    return m_current ? &*m_current : nullptr;
}

const std::vector<std::string>* NameCatalog::tables(const std::string& database, Connection* reader) {
    auto found = m_tables.find(database);
    if (found == m_tables.end() && reader) {
        std::vector<std::string> names;
        if (Result list = reader->select(tableNamesStatement(*reader, database)))
            while (Row row = list.fetchRow())
                names.push_back(row.str(0));
        found = m_tables.emplace(database, std::move(names)).first;
    }
    return found == m_tables.end() ? nullptr : &found->second;
}

const std::vector<std::string>* NameCatalog::columns(const std::string& database, const std::string& table,
                                                     Connection* reader) {
    const auto key = std::make_pair(database, table);
    auto found = m_columns.find(key);
    if (found == m_columns.end() && reader) {
        std::vector<std::string> names;
        if (const auto fields = readFieldLines(*reader, database, table))
            for (const FieldLine& field : *fields)
                names.push_back(field.name());
        found = m_columns.emplace(key, std::move(names)).first;
    }
    return found == m_columns.end() ? nullptr : &found->second;
}

std::optional<std::vector<std::string>> NameCatalog::candidates(const std::vector<std::string>& qualifiers,
                                                                Connection* reader) {
    std::vector<std::string> out;
    const auto add = [&out](const std::vector<std::string>* names) {
        out.insert(out.end(), names->begin(), names->end());
    };
    if (qualifiers.size() >= 2) {
        const auto* names = columns(qualifiers[0], qualifiers[1], reader);
        if (!names)
            return std::nullopt;
        add(names);
        return out;
    }
    const std::string* inUse = current(reader);
    if (!inUse)
        return std::nullopt;
    const std::vector<std::string>* tablesInUse = nullptr;
    if (!inUse->empty() && !(tablesInUse = tables(*inUse, reader)))
        return std::nullopt;
    if (qualifiers.empty()) {
        const auto* all = databases(reader);
        if (!all)
            return std::nullopt;
        add(all);
        if (tablesInUse)
            add(tablesInUse);
        return out;
    }
    const std::string& name = qualifiers[0];
    const auto* all = databases(reader);
    if (!all)
        return std::nullopt;
    if (std::find(all->begin(), all->end(), name) != all->end()) {
        const auto* names = tables(name, reader);
        if (!names)
            return std::nullopt;
        add(names);
    }
    if (tablesInUse && std::find(tablesInUse->begin(), tablesInUse->end(), name) != tablesInUse->end()) {
        const auto* names = columns(*inUse, name, reader);
        if (!names)
            return std::nullopt;
        add(names);
    }
    return out;
}

}  // namespace velkin
