#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velkin {

/// Id, user, host, database, command, time, state and info: what the process list and the
/// details show of each thread, whatever further fields the server adds.
constexpr unsigned kProcessFieldsShown = 8;

/// The number at the start of a text, as the old conversion read it: leading blanks and a sign
/// are taken, reading stops at the first non-digit, and a text without digits gives 0.
/// Too large a number stops at the largest value.
long long leadingInteger(std::string_view text);

/// A counter as a chart value: nothing and negatives give 0, numbers beyond 32 bits the largest.
std::uint32_t chartValue(std::optional<std::int64_t> counter);

/// A Range box's text as a series' upper bound; empty, non-numeric and negative texts give 0.
std::uint32_t rangeBound(std::string_view text);

/// The process list as the monitor shows it; the full form keeps each statement's whole text.
const char* processListStatement(bool full);
/// The server's variables and their values.
const char* variablesStatement();
/// The server's own help on variables: topic name and text, from the help categories about variables.
const char* variableHelpStatement();
/// A help text as one line for the explanation box: the heading underline and runs of blanks go.
QString helpLine(const QString& description);

/// What the details dialog stops of a client thread: the statement it runs, which leaves the
/// client connected, or the whole connection.
enum class ProcessStop { Statement, Connection };

/// A client thread as the details show it, for the question before it is stopped.
struct ProcessFacts {
    long long id = 0;
    QString user;
    QString host;
    QString command;
    QString statement;
};

/// "KILL QUERY id" or "KILL id".
std::string processStopStatement(ProcessStop what, long long id);
/// Whether the thread runs a statement that "Stop statement" could end: it is not idle and the
/// server names what it runs.
bool runsStatement(const QString& command, const QString& statement);
/// A statement as one line for a question: blanks and line breaks run together, a long one cut
/// short with an ellipsis.
QString statementGist(const QString& statement);
/// The question before a stop, naming the thread's Id, user, host and statement and what the stop
/// does to the client.
QString processStopQuestion(ProcessStop what, const ProcessFacts& process);
/// What a stop says when the server did it, and when it refused (with the server's "%d:%s").
QString processStoppedText(ProcessStop what, long long id);
QString processStopRefusedText(ProcessStop what, long long id, unsigned int errorNumber,
                               const std::string& errorText);

/// What the monitor's notice line says while a refresh waits on a server that does not answer,
/// and once its connection to the server was lost (the next refresh connects again).
QString serverSilentText();
QString monitorConnectionLostText();

/// One button of the "Reset" group: the statement it sends and the message shown afterwards.
struct ResetAction {
    const char* button;
    const char* statement;
    const char* message;
};
const std::array<ResetAction, 5>& resetActions();

}  // namespace velkin
