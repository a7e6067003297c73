#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace velkin {

/// What differs between the servers of old and the current ones, decided from the server's version,
/// so that screens keep one behaviour and send the statement that the server understands.
class ServerDialect {
public:
    explicit ServerDialect(unsigned long version = 0, bool mariaDb = false);

    unsigned long version() const { return m_version; }
    bool isMariaDb() const { return m_mariaDb; }

    /// "TYPE" before 5.5, "ENGINE" from then on: the keyword of the table type clause.
    const char* tableTypeKeyword() const;
    /// HEAP and MEMORY, INNOBASE and InnoDB name the same table type; case does not matter.
    static bool sameTableType(std::string_view a, std::string_view b);
    /// The table type under its current name ("MEMORY" for "HEAP", "InnoDB" for "INNOBASE").
    static std::string currentTableTypeName(std::string_view type);

    /// Reserved in MySQL 8.4 or MariaDB 11, or reported reserved by the server itself.
    bool isReserved(std::string_view word) const;
    void addReservedWords(const std::vector<std::string>& words);

private:
    unsigned long m_version;
    bool m_mariaDb;
    std::set<std::string> m_extraReserved;  // upper case
};

}  // namespace velkin
