#include "GrantListText.h"

#include "session/SqlText.h"

namespace velkin {

namespace {
const QString kNoUser = QStringLiteral("(no user)");
}

HostClass hostClassOf(std::string_view host) {
    if (host == "localhost")
        return HostClass::Local;
    if (!host.empty() && host.front() == '%')
        return HostClass::Global;
    return HostClass::Restricted;
}

QString hostClassText(HostClass hostClass) {
    switch (hostClass) {
        case HostClass::Local:
            return QStringLiteral("Local User");
        case HostClass::Global:
            return QStringLiteral("Global User");
        case HostClass::Restricted:
            break;
    }
    return QStringLiteral("The user with restriction");
}

QString accountLabel(const QString& user) {
    return user.isEmpty() ? kNoUser : user;
}

QString accountUser(const QString& label) {
    return label == kNoUser ? QString() : label;
}

QString deleteAccountQuestion(const QString& user, const QString& host) {
    return textf("May I delete truly?\n\nUser : %s\nHost     : %s", u8(user), u8(host));
}

QString orphanGrantsQuestion(const QString& user, const QStringList& hosts) {
    QString names;
    for (const QString& host : hosts)
        names += textf("'%s'@'%s'\n", u8(user), u8(host));
    return textf(
        "Privileges remain for %s at hosts that have no account:\n\n%s\nThey still apply when %s "
        "connects from those hosts, and an account created later with that name would inherit them.\n\n"
        "May I delete them too?",
        u8(accountLabel(user)), u8(names), u8(accountLabel(user)));
}

QString hostEntryLabel(const QString& host, const QString& database) {
    if (host == QLatin1String("%"))
        return textf("All hosts\n(%s)", u8(database));
    return textf("%s\n(%s)", u8(host), u8(database));
}

}  // namespace velkin
