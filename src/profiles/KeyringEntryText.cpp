#include "KeyringEntryText.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace velkin {

namespace {

const QString kFormat = QStringLiteral("velkin-secret-1");

}  // namespace

QString keyringEntryText(const KeyringEntry& entry) {
    QJsonObject object;
    object.insert(QStringLiteral("format"), kFormat);
    object.insert(QStringLiteral("profile"), entry.owner.id);
    object.insert(QStringLiteral("server"), entry.owner.server);
    object.insert(QStringLiteral("port"), entry.owner.port);
    object.insert(QStringLiteral("user"), entry.owner.user);
    object.insert(QStringLiteral("secret"), entry.secret);
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

std::optional<KeyringEntry> parseKeyringEntry(const QString& text) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    if (object.value(QStringLiteral("format")).toString() != kFormat)
        return std::nullopt;
    for (const char* field : {"profile", "server", "port", "user", "secret"})
        if (!object.value(QLatin1String(field)).isString())
            return std::nullopt;
    KeyringEntry entry;
    entry.owner.id = object.value(QStringLiteral("profile")).toString();
    entry.owner.server = object.value(QStringLiteral("server")).toString();
    entry.owner.port = object.value(QStringLiteral("port")).toString();
    entry.owner.user = object.value(QStringLiteral("user")).toString();
    entry.secret = object.value(QStringLiteral("secret")).toString();
    return entry;
}

QString passwordKeyringKey(const QString& id) {
    return QStringLiteral("saved host %1").arg(id);
}

QString sshKeyringKey(const QString& id) {
    return passwordKeyringKey(id) + QStringLiteral(" (SSH)");
}

QString formerPasswordKeyringKey(const QString& displayName) {
    return displayName;
}

QString formerSshKeyringKey(const QString& displayName) {
    return displayName + QStringLiteral(" (SSH)");
}

QString ownerTarget(const SecretOwner& owner) {
    return QStringLiteral("%1@%2:%3").arg(owner.user, owner.server, owner.port);
}

QString keyringUnavailableText(const QString& what, const QString& profile, const QString& reason) {
    return QStringLiteral("The desktop's keyring could not give the %1 of \"%2\" (%3).")
        .arg(what, profile, reason);
}

QString keyringHoldsNoneText(const QString& what, const QString& profile) {
    return QStringLiteral("The desktop's keyring holds no %1 of \"%2\".").arg(what, profile);
}

QString keyringOtherOwnerText(const QString& what, const QString& profile, const SecretOwner& kept,
                              const SecretOwner& wanted) {
    return QStringLiteral(
               "The desktop's keyring keeps the %1 of \"%2\" for %3, not for %4; it is not sent to another "
               "server.")
        .arg(what, profile, ownerTarget(kept), ownerTarget(wanted));
}

}  // namespace velkin
