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

/// What "Process Stop" says when the server ended the thread, and when it refused.
QString processStoppedText(long long id);
QString processStopRefusedText(long long id, unsigned int errorNumber, const std::string& errorText);

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
