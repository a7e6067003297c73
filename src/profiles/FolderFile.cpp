#include "FolderFile.h"

#include <sys/stat.h>

#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

namespace velkin {

namespace {

constexpr int kListedInReport = 10;

bool pathExists(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

bool isRegularOrMissing(const std::string& path, std::string& reason) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return true;
    if (S_ISREG(status.st_mode))
        return true;
    reason = "it is not a regular file";
    return false;
}

/// The system's own words where it gave any: the file's error text is only "Unknown error" after a
/// failed flush.
QString failureReason(const QSaveFile& file, int error) {
    return error != 0 ? QString::fromStdString(errorText(error)) : file.errorString();
}

}  // namespace

QString saveWhole(const std::string& path, const std::string& bytes, bool ownerOnly) {
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // The file aside takes the old file's permissions; narrowing them before anything is written
    // means no one else can open it in the meantime.
    if (ownerOnly && !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    // The write is buffered: a full disk shows only in flush(), and commit() may still report
    // success after a failed flush, so each step is checked before the file replaces the old one.
    errno = 0;
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()) ||
        !file.flush() || file.error() != QFileDevice::NoError) {
        const QString reason = failureReason(file, errno);
        file.cancelWriting();
        return reason;
    }
    errno = 0;
    if (!file.commit())
        return failureReason(file, errno);
    return {};
}

FolderTree FolderFile::load() {
    m_read = readRegularFile(m_path, kMaxBytes);
    m_unreadable = m_read.exists() && m_read.status != FileRead::Read;
    m_notRegular = m_read.status == FileRead::NotRegular;
    m_problems.clear();
    m_problemCount = 0;
    m_copyPending = false;
    m_copyPath.clear();
    if (m_read.status != FileRead::Read)
        return FolderTree();
    FolderTree tree = FolderTree::fromText(m_read.bytes);
    m_problems = tree.problems();
    m_problemCount = tree.problemCount();
    if (m_problemCount > 0) {
        m_copyPending = true;
        m_copyPath = freeCopyPath();
    } else {
        // Nothing left to keep: the text lives on in the tree.
        m_read.bytes = std::string();
    }
    return tree;
}

QString FolderFile::displayName() const {
    return QString::fromStdString(m_path);
}

QString FolderFile::loadReport() const {
    if (m_unreadable) {
        const QString then = m_notRegular ? QStringLiteral("The tree on screen is not saved over it.")
                                          : QStringLiteral("It is not replaced without asking.");
        return QStringLiteral("%1 cannot be read (%2). The tree starts with the root alone. %3")
            .arg(displayName(), QString::fromStdString(m_read.reason), then);
    }
    if (m_problemCount == 0)
        return {};
    QString list;
    for (int i = 0; i < m_problemCount && i < kListedInReport; ++i)
        list += QStringLiteral("  ") + QString::fromStdString(m_problems[static_cast<std::size_t>(i)]) + '\n';
    if (m_problemCount > kListedInReport)
        list += QStringLiteral("  and %1 more\n").arg(m_problemCount - kListedInReport);
    return QStringLiteral(
               "%1 has parts this program could not read as written:\n%2The tree shows everything that could "
               "be "
               "placed. Before the tree is first saved, the file as it is now is kept as %3.")
        .arg(displayName(), list, QString::fromStdString(m_copyPath));
}

QString FolderFile::consentQuestion() const {
    return QStringLiteral("%1 could not be read (%2). May I replace it with the tree on screen?")
        .arg(displayName(), QString::fromStdString(m_read.reason));
}

std::string FolderFile::freeCopyPath() const {
    const std::string base = m_path + ".unread";
    std::string candidate = base;
    for (int n = 2; pathExists(candidate); ++n)
        candidate = base + std::to_string(n);
    return candidate;
}

FolderFile::SaveResult FolderFile::save(const FolderTree& tree, bool consented) {
    SaveResult result;
    std::string reason;
    if (!isRegularOrMissing(m_path, reason)) {
        result.message =
            QStringLiteral("%1 is not saved (%2).").arg(displayName(), QString::fromStdString(reason));
        return result;
    }
    if (needsConsent() && !consented) {
        result.message = QStringLiteral("%1 is not saved.").arg(displayName());
        return result;
    }
    if (m_copyPending) {
        const std::string announced = m_copyPath;
        if (pathExists(m_copyPath))
            m_copyPath = freeCopyPath();
        const QString failure = saveWhole(m_copyPath, m_read.bytes);
        if (!failure.isEmpty()) {
            result.message =
                QStringLiteral("The file as it was could not be kept as %1 (%2), so %3 is not saved.")
                    .arg(QString::fromStdString(m_copyPath), failure, displayName());
            return result;
        }
        m_copyPending = false;
        m_read.bytes = std::string();
        if (m_copyPath != announced)
            result.message =
                QStringLiteral("The file as it was is kept as %1.").arg(QString::fromStdString(m_copyPath));
    }
    const QString failure = saveWhole(m_path, tree.toText());
    if (!failure.isEmpty()) {
        result.message = QStringLiteral("%1 could not be saved (%2). The file keeps what it held before.")
                             .arg(displayName(), failure);
        return result;
    }
    // What is on disk now was written by this program.
    m_unreadable = false;
    result.saved = true;
    return result;
}

}  // namespace velkin
