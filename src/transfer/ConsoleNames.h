#pragma once

#include <QString>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velkin {

class Connection;

/// Where the cursor stands for a name completion: what is typed of a name so far and the names
/// written before it with points ("db.", "table." or "db.table.").
struct NamePlace {
    /// Where the typed name begins in the text.
    int start = 0;
    QString typed;
    /// The names before the typed one, outermost first, unquoted.
    std::vector<std::string> qualifiers;
};

/// The place of the cursor at index cursor of text.
NamePlace namePlace(const QString& text, int cursor);

/// The names the console completes: databases, the tables of a database, the columns of a table.
/// Each list is read once, the first time a completion needs it, and kept until forget(): typing
/// goes on from what was read and sends nothing.
class NameCatalog {
public:
    /// The databases as the console read them when it opened.
    void setDatabases(std::vector<std::string> names);
    /// The database that unqualified names refer to, when the console set it itself.
    void setCurrent(std::string database);
    /// A statement the person ran may have created, dropped or switched anything.
    void forget();

    /// The names that may follow the qualifiers: without one, the databases and the tables of the
    /// database in use; after one, the tables of the database of that name and the columns of the
    /// table of that name in the database in use; after two, the columns of that table. Reads what is
    /// not known yet on reader; without a reader, nothing when something would have to be read.
    std::optional<std::vector<std::string>> candidates(const std::vector<std::string>& qualifiers,
                                                       Connection* reader);

private:
    const std::vector<std::string>* databases(Connection* reader);
    const std::string* current(Connection* reader);
    const std::vector<std::string>* tables(const std::string& database, Connection* reader);
    const std::vector<std::string>* columns(const std::string& database, const std::string& table,
                                            Connection* reader);

    std::optional<std::vector<std::string>> m_databases;
    std::optional<std::string> m_current;
    std::map<std::string, std::vector<std::string>> m_tables;
    std::map<std::pair<std::string, std::string>, std::vector<std::string>> m_columns;
};

}  // namespace velkin
