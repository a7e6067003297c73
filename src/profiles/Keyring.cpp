#include "Keyring.h"

#include <qt6keychain/keychain.h>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QEventLoop>

#include "session/Operator.h"

namespace velkin {

namespace {

/// Runs a job to its end; the keyring answers over D-Bus, so the window's events go on meanwhile.
void finish(QKeychain::Job& job) {
    job.setAutoDelete(false);
    // A keyring that cannot be reached must never leave the secret in a plain settings file instead.
    job.setInsecureFallback(false);
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
}

/// A locked keyring answers a lookup as if it held nothing; its default collection says that it is locked.
bool keyringLocked() {
    QDBusMessage get = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.secrets"), QStringLiteral("/org/freedesktop/secrets/aliases/default"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.freedesktop.Secret.Collection") << QStringLiteral("Locked");
    const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, 3000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false;
    return reply.arguments().first().value<QDBusVariant>().variant().toBool();
}

}  // namespace

KeyringRead keyringRead(const QString& key) {
    QKeychain::ReadPasswordJob job(appTitle());
    job.setKey(key);
    finish(job);
    if (job.error() == QKeychain::NoError)
        return {job.textData(), {}};
    if (job.error() == QKeychain::EntryNotFound)
        return keyringLocked() ? KeyringRead{std::nullopt, QStringLiteral("the keyring is locked")}
                               : KeyringRead{};
    return {std::nullopt, job.errorString()};
}

QString keyringWrite(const QString& key, const QString& secret) {
    QKeychain::WritePasswordJob job(appTitle());
    job.setKey(key);
    job.setTextData(secret);
    finish(job);
    return job.error() == QKeychain::NoError ? QString() : job.errorString();
}

QString keyringRemove(const QString& key) {
    QKeychain::DeletePasswordJob job(appTitle());
    job.setKey(key);
    finish(job);
    return job.error() == QKeychain::NoError || job.error() == QKeychain::EntryNotFound ? QString()
                                                                                        : job.errorString();
}

}  // namespace velkin
