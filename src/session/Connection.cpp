#include "Connection.h"

#include <mysql.h>

#include <array>
#include <cstdio>

#include <fmt/printf.h>

#include "SqlText.h"
#include "SshTunnel.h"
#include "StallWatch.h"

namespace velkin {

/// Around every call that waits for the server: one thread at a time on the handle, and a call that
/// the server leaves unanswered is noticed.
class CallScope {
public:
    explicit CallScope(Connection& c) : m_lock(c.m_callLock), m_watch(c) {}

private:
    std::lock_guard<std::recursive_mutex> m_lock;
    StallWatch::Scope m_watch;
};

namespace {
Connection::StatementObserver& observer() {
    static Connection::StatementObserver o;
    return o;
}
Connection::StatementObserver& callObserver() {
    static Connection::StatementObserver o;
    return o;
}
std::atomic<int> g_openCount{0};
}  // namespace

// ---- Result -------------------------------------------------------------------------------

Result::Result(MYSQL_RES* res) : m_res(res) {}

Result::Result(Result&& other) noexcept : m_res(other.m_res) {
    other.m_res = nullptr;
}

Result& Result::operator=(Result&& other) noexcept {
    if (this != &other) {
        reset();
        m_res = other.m_res;
        other.m_res = nullptr;
    }
    return *this;
}

Result::~Result() {
    reset();
}

void Result::reset() {
    if (m_res)
        mysql_free_result(m_res);
    m_res = nullptr;
}

unsigned Result::fieldCount() const {
    return m_res ? mysql_num_fields(m_res) : 0;
}

std::uint64_t Result::rowCount() const {
    return m_res ? mysql_num_rows(m_res) : 0;
}

std::vector<FieldInfo> Result::fields() const {
    std::vector<FieldInfo> list;
    if (!m_res)
        return list;
    unsigned n = mysql_num_fields(m_res);
    MYSQL_FIELD* f = mysql_fetch_fields(m_res);
    list.reserve(n);
    for (unsigned i = 0; i < n; ++i) {
        FieldInfo info;
        info.name.assign(f[i].name ? f[i].name : "", f[i].name_length);
        info.table.assign(f[i].table ? f[i].table : "", f[i].table_length);
        info.database.assign(f[i].db ? f[i].db : "", f[i].db_length);
        info.type = f[i].type;
        info.length = f[i].length;
        info.flags = f[i].flags;
        info.decimals = f[i].decimals;
        list.push_back(std::move(info));
    }
    return list;
}

std::vector<std::string> Result::fieldNames() const {
    std::vector<std::string> names;
    for (auto& f : fields())
        names.push_back(f.name);
    return names;
}

Row Result::fetchRow() {
    if (!m_res)
        return {};
    MYSQL_ROW row = mysql_fetch_row(m_res);
    if (!row)
        return {};
    return Row(row, mysql_fetch_lengths(m_res), mysql_num_fields(m_res));
}

void Result::seek(std::uint64_t row) {
    if (m_res)
        mysql_data_seek(m_res, row);
}

// ---- Connection ---------------------------------------------------------------------------

Connection::Connection() : m_mysql(mysql_init(nullptr)) {}

Connection::~Connection() {
    if (m_open)
        --g_openCount;
    if (m_mysql)
        mysql_close(m_mysql);
}

void Connection::close() {
    // A login beside the window replaces the handle that other threads' calls would use.
    std::lock_guard<std::recursive_mutex> lock(m_callLock);
    if (m_open)
        --g_openCount;
    m_open = false;
    if (m_mysql)
        mysql_close(m_mysql);
    // Never left without a handle: screens keep calling through this object, and the client library
    // answers an unconnected handle with an error rather than a crash.
    m_mysql = mysql_init(nullptr);
    m_localInfile = false;
    m_dialect = ServerDialect();
}

bool Connection::connect(const std::string& host, const std::string& user, const std::string& password,
                         unsigned int port) {
    std::lock_guard<std::recursive_mutex> lock(m_callLock);
    // A handle whose connect failed is not to be used for another attempt, and an open one belongs
    // to the session being replaced: every connect starts on a fresh handle.
    close();
    m_sshProblem.clear();
    if (!m_mysql)
        return false;
    // Names and values travel as UTF-8 so that the screens show them as the server holds them.
    mysql_options(m_mysql, MYSQL_SET_CHARSET_NAME, "utf8mb4");
    // An unreachable host must not freeze the screen for minutes. A statement may legitimately run for
    // hours, so reads have no limit of their own: Stop ends them, and the stall watch gives up a
    // connection whose server no longer answers. A write that the server does not take for minutes
    // has no such excuse.
    unsigned int timeout = m_briefSeconds != 0 ? m_briefSeconds : 10;
    mysql_options(m_mysql, MYSQL_OPT_CONNECT_TIMEOUT, &timeout);
    unsigned int writeTimeout = m_briefSeconds != 0 ? m_briefSeconds : 300;
    mysql_options(m_mysql, MYSQL_OPT_WRITE_TIMEOUT, &writeTimeout);
    if (m_briefSeconds != 0)
        mysql_options(m_mysql, MYSQL_OPT_READ_TIMEOUT, &m_briefSeconds);
    // The server accepts LOAD DATA LOCAL only from a client that offered it when connecting; the offer
    // is made here and the client's own permission is withdrawn right after (setLocalInfile).
    unsigned int localInfile = 1;
    mysql_options(m_mysql, MYSQL_OPT_LOCAL_INFILE, &localInfile);
    // The library takes "localhost" to mean its Unix socket and ignores the port; a port other than
    // the standard one names a server listening on TCP.
    if (host == "localhost" && port != 0 && port != 3306) {
        unsigned int protocol = MYSQL_PROTOCOL_TCP;
        mysql_options(m_mysql, MYSQL_OPT_PROTOCOL, &protocol);
    }
    if (!applyTls() || !prepareTunnel(host, port))
        return false;
    // Through a tunnel the server is reached at the tunnel's own end on this computer.
    const std::string reached = m_tunnel ? "127.0.0.1" : host;
    const unsigned int reachedPort = m_tunnel ? m_tunnel->localPort() : port;
    // A refusal that another connection of the tunnel met earlier is not this connection's.
    if (m_tunnel)
        m_tunnel->takeForwardFailure();
    if (!mysql_real_connect(m_mysql, reached.c_str(), user.c_str(), password.c_str(), nullptr, reachedPort,
                            nullptr, 0)) {
        const std::string refused = m_tunnel ? m_tunnel->takeForwardFailure() : std::string();
        if (!refused.empty())
            m_sshProblem = sshFailureMessage(SshFailure::DatabaseUnreachable, refused);
        return false;
    }

    setLocalInfile(false);
    m_host = host;
    m_user = user;
    m_password = password;
    m_port = port;
    m_threadId = mysql_thread_id(m_mysql);
    m_open = true;
    ++g_openCount;
    ++m_generation;
    if (m_briefSeconds != 0)
        return true;
    m_dialect =
        ServerDialect(mysql_get_server_version(m_mysql), serverInfo().find("MariaDB") != std::string::npos);
    loadReservedWords();
    loadAccountFacts();
    return true;
}

void Connection::loadAccountFacts() {
    // The login's own question, not a statement of any screen: it is not reported to the statement
    // observer, so that what a screen sends on a fresh connection is all that is seen.
    AccountFacts facts;
    const std::string sql = ServerDialect::accountFactsQuery();
    Result r;
    if (mysql_real_query(m_mysql, sql.data(), static_cast<unsigned long>(sql.size())) == 0)
        r = storeResult();
    if (Row row = r.fetchRow()) {
        facts.userTableType = row.str(0);
        facts.passwordColumn = row.text(1) == "1";
        facts.roleColumn = row.text(2) == "1";
        facts.hostTable = row.text(3) == "1";
    }
    m_dialect.learnAccounts(facts);
}

bool Connection::applyTls() {
    m_tlsProblem = tlsSettingsProblem(m_tls);
    if (!m_tlsProblem.empty())
        return false;
    if (!m_tls.isOn())
        return true;
    // Without enforcement the library would quietly fall back to a plain login when the server
    // offers no TLS, which is exactly what a profile that asks for TLS must not do.
    my_bool enforce = 1;
    my_bool verify = m_tls.mode == TlsMode::Verified ? 1 : 0;
    const auto setPath = [this](mysql_option option, const std::string& path) {
        return path.empty() || mysql_options(m_mysql, option, path.c_str()) == 0;
    };
    const bool set = mysql_options(m_mysql, MYSQL_OPT_SSL_ENFORCE, &enforce) == 0 &&
                     mysql_options(m_mysql, MYSQL_OPT_SSL_VERIFY_SERVER_CERT, &verify) == 0 &&
                     (!verify || setPath(MYSQL_OPT_SSL_CA, m_tls.caFile)) &&
                     setPath(MYSQL_OPT_SSL_CERT, m_tls.certFile) && setPath(MYSQL_OPT_SSL_KEY, m_tls.keyFile);
    if (!set)
        m_tlsProblem = "The client library refused the TLS settings.";
    return set;
}

std::string Connection::sslCipher() const {
    const char* cipher = m_open ? mysql_get_ssl_cipher(m_mysql) : nullptr;
    return cipher ? cipher : "";
}

std::string Connection::connectFailure() const {
    if (!m_sshProblem.empty())
        return m_sshProblem;
    if (!m_tlsProblem.empty())
        return "Connection failure\n" + m_tlsProblem;
    return connectFailureMessage(m_tls, errorNumber(), errorText());
}

void Connection::loadReservedWords() {
    // Only servers that mark their reserved words can add to the built-in list; a plain keyword
    // list would quote ordinary names such as user or status.
    if (m_dialect.isMariaDb() || m_dialect.version() < 80000)
        return;
    Result r = select(reservedWordsStatement());
    std::vector<std::string> words;
    while (Row row = r.fetchRow())
        words.push_back(row.str(0));
    m_dialect.addReservedWords(words);
}

int Connection::query(std::string_view sql) {
    CallScope call(*this);
    if (observer())
        observer()(*this, std::string(sql));
    return mysql_real_query(m_mysql, sql.data(), static_cast<unsigned long>(sql.size()));
}

Result Connection::storeResult() {
    CallScope call(*this);
    return Result(mysql_store_result(m_mysql));
}

Result Connection::useResult() {
    CallScope call(*this);
    return Result(mysql_use_result(m_mysql));
}

Result Connection::select(std::string_view sql) {
    CallScope call(*this);
    if (query(sql) != 0)
        return {};
    return storeResult();
}

bool Connection::moreResults() const {
    return mysql_more_results(m_mysql) != 0;
}

int Connection::nextResult() {
    CallScope call(*this);
    return mysql_next_result(m_mysql);
}

std::string Connection::sqlState() const {
    return mysql_sqlstate(m_mysql);
}

unsigned int Connection::errorNumber() const {
    return mysql_errno(m_mysql);
}

std::string Connection::errorText() const {
    return mysql_error(m_mysql) + tunnelNote();
}

std::string Connection::errorLine() const {
    return fmt::sprintf("%d:%s", errorNumber(), errorText());
}

std::string Connection::info() const {
    const char* i = mysql_info(m_mysql);
    return i ? i : "";
}

std::uint64_t Connection::affectedRows() const {
    return mysql_affected_rows(m_mysql);
}

unsigned long Connection::threadId() const {
    return mysql_thread_id(m_mysql);
}

bool Connection::selectDb(const std::string& database) {
    CallScope call(*this);
    return mysql_select_db(m_mysql, database.c_str()) == 0;
}

Result Connection::listDbs() {
    CallScope call(*this);
    return Result(mysql_list_dbs(m_mysql, nullptr));
}

Result Connection::listTables(const char* wild) {
    CallScope call(*this);
    return Result(mysql_list_tables(m_mysql, wild));
}

Result Connection::listFields(const std::string& table, const char* wild) {
    CallScope call(*this);
    return Result(mysql_list_fields(m_mysql, table.c_str(), wild));
}

Result Connection::listProcesses() {
    CallScope call(*this);
    return Result(mysql_list_processes(m_mysql));
}

bool Connection::ping() {
    CallScope call(*this);
    return m_open && mysql_ping(m_mysql) == 0;
}

void Connection::reportCall(const std::string& call) const {
    if (callObserver())
        callObserver()(*this, call);
}

std::unique_ptr<Connection> Connection::openTwin() const {
    if (m_host.empty() && m_user.empty())
        return nullptr;
    auto twin = std::make_unique<Connection>();
    twin->setTls(m_tls);
    twin->setSsh(m_ssh, m_sshSecrets, m_sshQuestion);
    twin->m_tunnel = m_tunnel;
    if (!twin->connect(m_host, m_user, m_password, m_port))
        return nullptr;
    return twin;
}

ServerLogin Connection::login() const {
    return ServerLogin{m_host, m_user,       m_password,    m_port,  m_tls,
                       m_ssh,  m_sshSecrets, m_sshQuestion, m_tunnel};
}

std::unique_ptr<Connection> Connection::openBrief(const ServerLogin& login, unsigned seconds) {
    auto brief = std::make_unique<Connection>();
    brief->m_briefSeconds = seconds == 0 ? 1 : seconds;
    brief->setTls(login.tls);
    brief->setSsh(login.ssh, login.sshSecrets, login.sshQuestion);
    brief->m_tunnel = login.tunnel;
    brief->connect(login.host, login.user, login.password, login.port);
    return brief;
}

bool Connection::stopStatementOf(const ServerLogin& login, unsigned long serverThreadId) {
    if (login.host.empty() && login.user.empty())
        return false;
    std::unique_ptr<Connection> brief = openBrief(login, 3);
    return brief->isOpen() && brief->query(killQueryStatement(serverThreadId)) == 0;
}

bool Connection::stopRunningStatement() const {
    return stopStatementOf(login(), m_threadId.load());
}

void Connection::abandon() {
    mariadb_cancel(m_mysql);
}

void Connection::settleStop() {
    query(quietStatement());
}

bool Connection::connectionLost() const {
    switch (errorNumber()) {
        case 1053:  // ER_SERVER_SHUTDOWN
        case 1927:  // ER_CONNECTION_KILLED
        case 2006:  // CR_SERVER_GONE_ERROR
        case 2013:  // CR_SERVER_LOST
        case 2055:  // CR_SERVER_LOST_EXTENDED
            return true;
        default:
            return !m_open;
    }
}

int Connection::kill(unsigned long id) {
    CallScope call(*this);
    reportCall(fmt::sprintf("mysql_kill(%lu)", id));
    return mysql_kill(m_mysql, id);
}

std::string Connection::stat() {
    CallScope call(*this);
    const char* s = mysql_stat(m_mysql);
    return s ? s : "";
}

int Connection::shutdown() {
    CallScope call(*this);
    reportCall("mysql_shutdown");
    return mysql_shutdown(m_mysql, SHUTDOWN_DEFAULT);
}

int Connection::refresh(unsigned int options) {
    CallScope call(*this);
    reportCall(fmt::sprintf("mysql_refresh(%u)", options));
    return mysql_refresh(m_mysql, options);
}

void Connection::setLocalInfile(bool allowed) {
    unsigned int flag = allowed ? 1 : 0;
    mysql_options(m_mysql, MYSQL_OPT_LOCAL_INFILE, &flag);
    m_localInfile = allowed;
}

namespace {

/// The client library's view of a LOAD DATA LOCAL source that is a function of ours.
struct LocalStream {
    const std::function<long(char*, unsigned int)>* read;
};

int streamInit(void** handle, const char*, void* userdata) {
    *handle = userdata;
    return 0;
}

int streamRead(void* handle, char* buffer, unsigned int length) {
    const long n = (*static_cast<LocalStream*>(handle)->read)(buffer, length);
    return n < 0 ? -1 : static_cast<int>(n);
}

void streamEnd(void*) {}

int streamError(void*, char* message, unsigned int length) {
    std::snprintf(message, length, "%s", "the rows to load could not be made");
    return 2000;  // CR_UNKNOWN_ERROR
}

}  // namespace

int Connection::loadLocal(std::string_view statement, const std::function<long(char*, unsigned int)>& read) {
    CallScope call(*this);
    LocalStream stream{&read};
    const bool allowed = m_localInfile;
    setLocalInfile(true);
    mysql_set_local_infile_handler(m_mysql, streamInit, streamRead, streamEnd, streamError, &stream);
    const int status = query(statement);
    mysql_set_local_infile_default(m_mysql);
    setLocalInfile(allowed);
    return status;
}

unsigned int Connection::warningCount() const {
    return mysql_warning_count(m_mysql);
}

std::string Connection::escape(std::string_view text) const {
    // Most values (numbers, dates, plain words) hold nothing to escape; the connection always talks
    // UTF-8 (or another ASCII-safe set), where these bytes never occur inside a multibyte character.
    if (text.find_first_of(std::string_view("\0\n\r\\'\"\032", 7)) == std::string_view::npos)
        return std::string(text);
    std::string out(text.size() * 2 + 1, '\0');
    unsigned long n =
        mysql_real_escape_string(m_mysql, out.data(), text.data(), static_cast<unsigned long>(text.size()));
    out.resize(n);
    return out;
}

void Connection::appendEscaped(std::string& out, std::string_view text) const {
    // One look-up per byte: a dump or a copy runs this for every cell it writes.
    static const auto special = [] {
        std::array<bool, 256> table{};
        for (unsigned char c : std::string_view("\0\n\r\\'\"\032", 7))
            table[c] = true;
        return table;
    }();
    bool plain = true;
    for (unsigned char c : text)
        if (special[c]) {
            plain = false;
            break;
        }
    if (plain) {
        out.append(text);
        return;
    }
    const std::size_t at = out.size();
    out.resize(at + text.size() * 2 + 1);
    const unsigned long n = mysql_real_escape_string(m_mysql, out.data() + at, text.data(),
                                                     static_cast<unsigned long>(text.size()));
    out.resize(at + n);
}

bool Connection::noBackslashEscapes() const {
    return m_mysql && (m_mysql->server_status & SERVER_STATUS_NO_BACKSLASH_ESCAPES) != 0;
}

std::string Connection::characterSet() const {
    const char* s = m_mysql ? mysql_character_set_name(m_mysql) : nullptr;
    return s ? s : "";
}

std::string Connection::serverInfo() const {
    const char* s = mysql_get_server_info(m_mysql);
    return s ? s : "";
}

std::string Connection::clientInfo() {
    return mysql_get_client_info();
}

unsigned int Connection::protoInfo() const {
    return mysql_get_proto_info(m_mysql);
}

unsigned long Connection::serverVersion() const {
    return m_dialect.version();
}

bool Connection::initLibrary() {
    return mysql_library_init(0, nullptr, nullptr) == 0;
}

void Connection::endLibrary() {
    mysql_library_end();
}

void Connection::setStatementObserver(StatementObserver o) {
    observer() = std::move(o);
}

void Connection::setCallObserver(StatementObserver o) {
    callObserver() = std::move(o);
}

int Connection::openCount() {
    return g_openCount;
}

}  // namespace velkin
