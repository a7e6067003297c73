#include "MonitorText.h"

#include <QRegularExpression>

#include <algorithm>
#include <cctype>
#include <limits>

namespace velkin {

long long leadingInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr long long kMax = std::numeric_limits<long long>::max();
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        const int digit = text[i] - '0';
        if (value > (kMax - digit) / 10) {
            value = kMax;
            break;
        }
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

std::uint32_t chartValue(std::optional<std::int64_t> counter) {
    if (!counter || *counter < 0)
        return 0;
    constexpr std::int64_t kMax = std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(std::min<std::int64_t>(*counter, kMax));
}

std::uint32_t rangeBound(std::string_view text) {
    return chartValue(leadingInteger(text));
}

const char* processListStatement(bool full) {
    return full ? "SHOW FULL PROCESSLIST" : "SHOW PROCESSLIST";
}

const char* variablesStatement() {
    return "SHOW VARIABLES";
}

const char* variableHelpStatement() {
    return "SELECT t.name, t.description FROM mysql.help_topic t JOIN mysql.help_category c "
           "ON c.help_category_id = t.help_category_id WHERE c.name LIKE '%Variable%'";
}

QString helpLine(const QString& description) {
    QString text = description;
    text.remove(QRegularExpression(QStringLiteral("^\\s*Description\\s*\\n-+\\s*")));
    return text.simplified();
}

const std::array<ResetAction, 5>& resetActions() {
    static const std::array<ResetAction, 5> actions{{
        {"Host Infomation", "FLUSH HOSTS", "The host information by which cash are carried out was reset."},
        {"History information", "FLUSH LOGS", "The file inode number of an update log was changed."},
        {"Authority information", "FLUSH Privileges", "The Mysql authority table was reload."},
        {"Status information", "FLUSH STATUS", "The status variable was reset."},
        {"Table", "FLUSH TABLES", "The data by which cash are carried out was written in the disk."},
    }};
    return actions;
}

std::string processStopStatement(ProcessStop what, long long id) {
    return (what == ProcessStop::Statement ? "KILL QUERY " : "KILL ") + std::to_string(id);
}

bool runsStatement(const QString& command, const QString& statement) {
    return command.compare(QStringLiteral("Sleep"), Qt::CaseInsensitive) != 0 &&
           !statement.trimmed().isEmpty();
}

QString statementGist(const QString& statement) {
    // Long enough to tell one statement from another, short enough that the question stays on a screen.
    constexpr int kLongest = 200;
    const QString line = statement.simplified();
    if (line.size() <= kLongest)
        return line;
    return line.left(kLongest - 1).trimmed() + QChar(0x2026);
}

namespace {
QString stoppedPart(ProcessStop what) {
    return what == ProcessStop::Statement ? QStringLiteral("statement") : QStringLiteral("connection");
}
}  // namespace

QString processStopQuestion(ProcessStop what, const ProcessFacts& process) {
    const QString effect =
        what == ProcessStop::Statement
            ? QStringLiteral("Its statement ends; the client stays connected (KILL QUERY).")
            : QStringLiteral("The client is disconnected, and a statement it runs ends (KILL).");
    const QString statement = statementGist(process.statement);
    return QStringLiteral("May I stop the %1 of process %2 truly?\n%3\n\nUser: %4\nHost: %5\nStatement: %6")
        .arg(stoppedPart(what))
        .arg(process.id)
        .arg(effect, process.user, process.host, statement.isEmpty() ? QStringLiteral("(none)") : statement);
}

QString processStoppedText(ProcessStop what, long long id) {
    return QStringLiteral("The %1 of process %2 was stopped.").arg(stoppedPart(what)).arg(id);
}

QString processStopRefusedText(ProcessStop what, long long id, unsigned int errorNumber,
                               const std::string& errorText) {
    return QStringLiteral("The %1 of process %2 was not stopped.\n%3:%4")
        .arg(stoppedPart(what))
        .arg(id)
        .arg(errorNumber)
        .arg(QString::fromStdString(errorText));
}

QString serverSilentText() {
    return QStringLiteral("The server does not answer.");
}

QString monitorConnectionLostText() {
    return QStringLiteral("The connection to the server was lost.");
}

}  // namespace velkin
