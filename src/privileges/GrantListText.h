#pragma once

#include <QString>
#include <QStringList>
#include <string_view>

namespace velkin {

/// How an account's host reaches the server, shown by the account's picture.
enum class HostClass { Local = 0, Global = 1, Restricted = 2 };

/// "localhost" exactly is local, a host beginning with "%" is global, anything else is restricted
/// (also LOCALHOST, numeric addresses and patterns such as 192.168.%).
HostClass hostClassOf(std::string_view host);
/// The legend text of a host class: "Local User", "Global User", "The user with restriction".
QString hostClassText(HostClass hostClass);

/// The label of an account in the lists: its user name, or "(no user)" for the anonymous account.
QString accountLabel(const QString& user);
/// The user name behind a label: "(no user)" is the empty name.
QString accountUser(const QString& label);
/// The question before an account is deleted.
QString deleteAccountQuestion(const QString& user, const QString& host);
/// The question after an account is deleted, when its user name still holds privileges at hosts that
/// have no account: says which, what they still do, and offers to delete them.
QString orphanGrantsQuestion(const QString& user, const QStringList& hosts);

/// The label of a mysql.host row in the Host List: "All hosts\n(db)" for the host "%", else "host\n(db)".
QString hostEntryLabel(const QString& host, const QString& database);

}  // namespace velkin
