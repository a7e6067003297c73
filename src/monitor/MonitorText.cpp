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

QString processStoppedText(long long id) {
    return QStringLiteral("Process %1 was stopped.").arg(id);
}

QString processStopRefusedText(long long id, unsigned int errorNumber, const std::string& errorText) {
    return QStringLiteral("Process %1 was not stopped.\n%2:%3")
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
