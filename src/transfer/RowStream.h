#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "session/Connection.h"

namespace velkin {

/// Reads the rows of one statement as the server sends them, one at a time, without holding the
/// whole answer on the client. The statement is sent once, so its rows come from one consistent read
/// in the server's order. While the stream is open the connection is busy: the keep-alive check
/// waits, and no other statement may be sent on it until the stream is closed.
class RowStream {
public:
    explicit RowStream(Connection& connection);
    ~RowStream();
    RowStream(const RowStream&) = delete;
    RowStream& operator=(const RowStream&) = delete;

    /// Sends the statement; 0 on success, like Connection::query.
    int query(std::string_view sql);
    /// After a successful query: opens its rows. False when the statement has none.
    bool begin();
    /// query() then begin().
    bool open(std::string_view sql);

    bool isOpen() const { return static_cast<bool>(m_result); }
    unsigned fieldCount() const { return m_result.fieldCount(); }
    std::vector<FieldInfo> fields() const { return m_result.fields(); }
    std::vector<std::string> fieldNames() const { return m_result.fieldNames(); }

    /// The next row, valid until the following call; an empty Row at the end of the rows or when
    /// reading fails (see failed()).
    Row next();
    /// Rows handed out so far.
    std::uint64_t rowsRead() const { return m_rowsRead; }
    /// True when the rows ended because reading failed rather than because none were left.
    bool failed() const;
    /// The open result, for readers that take rows themselves (the row model).
    Result& result() { return m_result; }

    /// Skips the rows not read yet and frees the connection for other statements.
    void close();

private:
    Connection& m_connection;
    Result m_result;
    std::optional<Connection::BusyScope> m_busy;
    std::uint64_t m_rowsRead = 0;
    bool m_ended = false;
};

}  // namespace velkin
