#include "RowStream.h"

namespace velkin {

RowStream::RowStream(Connection& connection) : m_connection(connection) {}

RowStream::~RowStream() {
    close();
}

int RowStream::query(std::string_view sql) {
    close();
    return m_connection.query(sql);
}

bool RowStream::begin() {
    close();
    // Busy before the first row is asked for: from here on the answer occupies the connection.
    m_busy.emplace(m_connection);
    m_result = m_connection.useResult();
    if (!m_result) {
        m_busy.reset();
        return false;
    }
    m_rowsRead = 0;
    m_ended = false;
    return true;
}

bool RowStream::open(std::string_view sql) {
    return query(sql) == 0 && begin();
}

Row RowStream::next() {
    if (!m_result || m_ended)
        return {};
    Row row = m_result.fetchRow();
    if (!row) {
        m_ended = true;
        return row;
    }
    ++m_rowsRead;
    return row;
}

bool RowStream::failed() const {
    return m_connection.errorNumber() != 0;
}

void RowStream::close() {
    // Releasing an unbuffered result reads and drops the rows still on the way.
    m_result.reset();
    m_busy.reset();
}

}  // namespace velkin
