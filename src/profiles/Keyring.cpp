#include "Keyring.h"

#include <qt6keychain/keychain.h>
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

}  // namespace

KeyringRead keyringRead(const QString& key) {
    QKeychain::ReadPasswordJob job(appTitle());
    job.setKey(key);
    finish(job);
    if (job.error() == QKeychain::NoError)
        return {job.textData(), {}};
    if (job.error() == QKeychain::EntryNotFound)
        return {};
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
