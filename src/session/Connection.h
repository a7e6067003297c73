#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ServerDialect.h"
#include "SshOptions.h"
#include "TlsOptions.h"

struct st_mysql;
struct st_mysql_res;
typedef struct st_mysql MYSQL;
typedef struct st_mysql_res MYSQL_RES;

namespace velkin {

class SshTunnel;

/// One row of a stored result: nullable byte texts with their lengths, valid until the next fetch.
class Row {
public:
    Row() = default;
    Row(char** cells, unsigned long* lengths, unsigned count)
        : m_cells(cells), m_lengths(lengths), m_count(count) {}

    explicit operator bool() const { return m_cells != nullptr; }
    unsigned size() const { return m_count; }
    bool isNull(unsigned i) const { return i >= m_count || m_cells[i] == nullptr; }
    /// The cell's bytes; empty for NULL.
    std::string_view text(unsigned i) const {
        return isNull(i) ? std::string_view() : std::string_view(m_cells[i], m_lengths[i]);
    }
    std::optional<std::string> value(unsigned i) const {
        if (isNull(i))
            return std::nullopt;
        return std::string(text(i));
    }
    std::string str(unsigned i) const { return std::string(text(i)); }

private:
    char** m_cells = nullptr;
    unsigned long* m_lengths = nullptr;
    unsigned m_count = 0;
};

/// What the client library tells about one column of a result.
struct FieldInfo {
    std::string name;
    std::string table;
    std::string database;
    int type = 0;  ///< enum_field_types
    unsigned long length = 0;
    unsigned int flags = 0;  ///< NOT_NULL_FLAG, PRI_KEY_FLAG, ...
    unsigned int decimals = 0;
};

/// What it takes to open another connection of the same login: the twins of a session, and the
/// short-lived connections that stop a statement or ask whether the server still answers.
struct ServerLogin {
    std::string host;
    std::string user;
    std::string password;
    unsigned int port = 0;
    TlsOptions tls;
    /// The tunnel the connections of the login go through, and what it takes to build it again.
    SshOptions ssh;
    SshSecrets sshSecrets;
    SshQuestion sshQuestion;
    std::shared_ptr<SshTunnel> tunnel;
};

/// A stored result set that releases itself.
class Result {
public:
    Result() = default;
    explicit Result(MYSQL_RES* res);
    Result(Result&& other) noexcept;
    Result& operator=(Result&& other) noexcept;
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;
    ~Result();

    explicit operator bool() const { return m_res != nullptr; }
    unsigned fieldCount() const;
    std::uint64_t rowCount() const;
    std::vector<FieldInfo> fields() const;
    std::vector<std::string> fieldNames() const;
    /// The next row, or an empty Row when none is left.
    Row fetchRow();
    void seek(std::uint64_t row);
    void reset();
    MYSQL_RES* handle() const { return m_res; }

private:
    MYSQL_RES* m_res = nullptr;
};

/// The one connection of a session (or the temporary second one of a copy between servers):
/// owns the MYSQL handle and is the only place that talks to the client library.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    /// Connects with no default database, no socket name and no client flags. True on success.
    /// A connection that is open is closed first: the object is renewed in place with a new handle, so
    /// every screen that holds it goes on with the new session.
    bool connect(const std::string& host, const std::string& user, const std::string& password,
                 unsigned int port);
    /// Closes the handle and puts a fresh, unconnected one in its place; calls made until the next
    /// connect() fail with the client library's "server has gone away" instead of touching freed memory.
    void close();
    bool isOpen() const { return m_open; }
    /// Counts the successful connects of this object; a screen that shows facts of the server (its
    /// version, its columns) compares it to learn that a new login took place under it.
    unsigned generation() const { return m_generation; }

    /// The TLS settings that the next connect() applies to the handle; a plain login when off.
    void setTls(const TlsOptions& tls) { m_tls = tls; }
    const TlsOptions& tls() const { return m_tls; }
    /// The SSH tunnel that the next connect() goes through; host and port are then the database
    /// server's as the SSH host sees them. question asks the person about a host key seen for the
    /// first time, from whatever thread connects.
    void setSsh(const SshOptions& ssh, const SshSecrets& secrets = {}, SshQuestion question = {});
    const SshOptions& ssh() const { return m_ssh; }
    /// The tunnel of the open connection; null for a direct one.
    const std::shared_ptr<SshTunnel>& tunnel() const { return m_tunnel; }
    /// The cipher of the open connection; empty when it is not encrypted.
    std::string sslCipher() const;
    /// What to tell the person after connect() failed: which part failed, with the library's text.
    std::string connectFailure() const;
    /// Which part of the SSH tunnel stopped the last connect(); None when the tunnel did not.
    SshFailure sshFailure() const;
    /// True for a connection that goes through an SSH tunnel whose SSH session has ended or whose
    /// host has gone silent (or that never got one): its loss is the tunnel's, not the server's.
    bool tunnelEnded() const;

    /// Sends one statement (binary safe). Returns 0 on success, like mysql_query.
    int query(std::string_view sql);
    /// The result of the last statement; empty when it had none or reading failed.
    Result storeResult();
    /// The result of the last statement, its rows read from the server one at a time as they are
    /// fetched; empty when it had none. Until the result is released no other statement may be sent.
    Result useResult();
    /// query() then storeResult(); an empty Result when either failed.
    Result select(std::string_view sql);

    /// Whether the last statement has further results waiting (a CALL, a multi-result statement).
    bool moreResults() const;
    /// Moves to the last statement's next result: 0 when there is one, -1 when none is left, above 0
    /// when the server reported an error for it (like mysql_next_result).
    int nextResult();
    /// The SQLSTATE of the last error ("23000").
    std::string sqlState() const;
    unsigned int errorNumber() const;
    std::string errorText() const;
    /// "%d:%s" with the error number and text, the tail of every failure message.
    std::string errorLine() const;
    std::string info() const;
    std::uint64_t affectedRows() const;
    unsigned long threadId() const;

    bool selectDb(const std::string& database);
    Result listDbs();
    Result listTables(const char* wild = "%");
    Result listFields(const std::string& table, const char* wild = nullptr);
    Result listProcesses();
    /// True when the server answered.
    bool ping();
    int kill(unsigned long threadId);
    std::string stat();
    int shutdown();
    int refresh(unsigned int options);
    /// Whether the client reads a local file when the server asks for one (LOAD DATA LOCAL). Off after
    /// connecting, since a server could otherwise ask for any file in answer to any statement; the
    /// import turns it on for its own statement only.
    void setLocalInfile(bool allowed);
    bool localInfile() const { return m_localInfile; }

    /// Sends a LOAD DATA LOCAL statement whose rows come from read instead of a file: read fills the
    /// buffer it is given and returns the bytes written, 0 at the end, -1 to give up. The client
    /// takes no file for this one statement and is barred from local files again afterwards.
    /// Returns 0 on success, like query().
    int loadLocal(std::string_view statement, const std::function<long(char*, unsigned int)>& read);
    /// Warnings the last statement left (mysql_warning_count).
    unsigned int warningCount() const;
    /// Escapes text for use between single quotes, by length, in the connection's character set.
    std::string escape(std::string_view text) const;
    /// escape() written onto the end of out: bulk writers escape every cell without a text of its own.
    void appendEscaped(std::string& out, std::string_view text) const;
    /// The server's NO_BACKSLASH_ESCAPES mode as of the last answer: a backslash is then an ordinary
    /// character in literals and LIKE patterns, and only a doubled quote escapes.
    bool noBackslashEscapes() const;

    std::string serverInfo() const;
    /// The character set the client and the server exchange texts in ("utf8mb4").
    std::string characterSet() const;
    static std::string clientInfo();
    unsigned int protoInfo() const;
    unsigned long serverVersion() const;
    const ServerDialect& dialect() const { return m_dialect; }
    /// Replaces what the login learned about the server; tests use it to follow the paths of servers
    /// that cannot be installed here.
    void setDialect(const ServerDialect& dialect) { m_dialect = dialect; }
    MYSQL* handle() const { return m_mysql; }

    /// Held by work that must not be interrupted by other traffic on this connection (the keep-alive
    /// check skips while any scope is alive), such as a copy that lets events through between batches.
    class BusyScope {
    public:
        explicit BusyScope(Connection& c) : m_c(c) { ++m_c.m_busy; }
        ~BusyScope() { --m_c.m_busy; }
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        Connection& m_c;
    };
    bool isBusy() const { return m_busy > 0; }
    /// Keeps every other thread's calls on this connection waiting while the lock is held: for work
    /// that sends a statement and reads its rows in several calls.
    std::unique_lock<std::recursive_mutex> holdCalls() {
        return std::unique_lock<std::recursive_mutex>(m_callLock);
    }

    /// Starts and ends the client library for the process (the socket layer of old).
    static bool initLibrary();
    static void endLibrary();

    /// A new connection to the same server with the same login and TLS settings, for work that must
    /// reach the server beside this one (counting what it left, polling); nothing when this one never
    /// connected or the server does not answer.
    std::unique_ptr<Connection> openTwin() const;
    /// The login of the last successful connect.
    ServerLogin login() const;
    /// A connection for one short question beside the real work: every wait (connecting, reading,
    /// writing) is bounded by seconds, and nothing is read at login. Check isOpen() for the outcome.
    static std::unique_ptr<Connection> openBrief(const ServerLogin& login, unsigned seconds);
    bool isBrief() const { return m_briefSeconds != 0; }
    /// Ends the statement the connection with this server id runs (KILL QUERY), from a brief
    /// connection of the login; false when the server could not be reached or refused.
    static bool stopStatementOf(const ServerLogin& login, unsigned long serverThreadId);
    /// Stops the statement this connection runs, from a brief connection, leaving the session itself
    /// alive; false when the server could not be reached.
    bool stopRunningStatement() const;
    /// Gives the connection up from another thread: a call waiting on it returns at once with the
    /// client library's lost-connection error, and so does every later call until a new login.
    void abandon();
    /// The server's id of this connection as of the last connect; safe to read from any thread.
    unsigned long serverThreadId() const { return m_threadId.load(); }
    /// After a stop: a KILL QUERY that arrived once its statement had ended would end the next one,
    /// so a statement that does nothing takes it (or runs harmlessly when none is pending).
    void settleStop();
    /// Whether the last call failed because the connection is gone (the server went away, the
    /// connection was killed or broke): nothing more can be sent on it before a new login.
    bool connectionLost() const;

    /// Receives the text of every statement sent through query() on any connection.
    using StatementObserver = std::function<void(const Connection&, const std::string&)>;
    static void setStatementObserver(StatementObserver observer);
    /// Receives the server calls that are not statements (grant reload, kill, shutdown), named as
    /// "mysql_refresh(1)", "mysql_kill(12)", "mysql_shutdown".
    static void setCallObserver(StatementObserver observer);
    /// Connections of this process that are open now.
    static int openCount();

private:
    friend class CallScope;
    void loadReservedWords();
    void loadAccountFacts();
    void reportCall(const std::string& call) const;
    bool applyTls();
    /// Makes sure a live tunnel to host and port is there; false with m_tlsProblem set otherwise.
    bool prepareTunnel(const std::string& host, unsigned int port);
    /// Said after the error text of a connection lost with its tunnel; empty otherwise.
    std::string tunnelNote() const;

    MYSQL* m_mysql = nullptr;
    bool m_open = false;
    /// Held by every call that waits for the server: a handle serves one thread at a time, and the
    /// keep-alive's check runs beside the window's thread.
    std::recursive_mutex m_callLock;
    unsigned m_briefSeconds = 0;
    std::atomic<int> m_busy{0};
    /// The server's id of this connection, read at connect: Stop reads it while another thread runs.
    std::atomic<unsigned long> m_threadId{0};
    unsigned m_generation = 0;
    bool m_localInfile = false;
    ServerDialect m_dialect;
    TlsOptions m_tls;
    /// Set when the TLS settings stopped the connection before the client library was asked.
    std::string m_tlsProblem;
    SshOptions m_ssh;
    SshSecrets m_sshSecrets;
    SshQuestion m_sshQuestion;
    std::shared_ptr<SshTunnel> m_tunnel;
    /// Set when the tunnel stopped the connection: the whole message, unlike the TLS problem.
    std::string m_sshProblem;
    /// The login of the last successful connect, for twins.
    std::string m_host, m_user, m_password;
    unsigned int m_port = 0;
};

}  // namespace velkin
