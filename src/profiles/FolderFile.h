#pragma once

#include <QString>
#include <string>

#include "FolderTree.h"
#include "RegularFile.h"

namespace velkin {

/// FOLDER.DAT on disk. Reading remembers what could not be read, so that saving never destroys it:
/// a file with unread parts is copied aside, as it was, before it is first rewritten, and a file
/// that could not be read at all is replaced only with the person's consent.
class FolderFile {
public:
    /// Far beyond any profile tree (a million nodes of long labels), and small enough to hold.
    static constexpr std::size_t kMaxBytes = 32u << 20;

    explicit FolderFile(std::string path = FolderTree::kDefaultPath) : m_path(std::move(path)) {}

    const std::string& path() const { return m_path; }

    /// The tree in the file; the root alone when there is no readable file.
    FolderTree load();
    /// What the person should know about the file just loaded; empty when it read cleanly.
    QString loadReport() const;

    /// Saving may replace a file that could not be read only after the person agreed.
    bool needsConsent() const { return m_unreadable && !m_notRegular; }
    QString consentQuestion() const;

    struct SaveResult {
        bool saved = false;
        /// Why it was not saved, or where the old file was kept when that differs from what
        /// loadReport() announced; empty otherwise.
        QString message;
    };
    /// Rewrites the file whole: written aside, flushed, and renamed over the old one only when every
    /// byte reached the disk, so a failed save leaves the previous file as it was. consented says the
    /// person agreed to replace a file that could not be read.
    SaveResult save(const FolderTree& tree, bool consented = false);

    /// Where the file as it was is (or will be) kept; empty when no copy is needed.
    const std::string& copyPath() const { return m_copyPath; }

private:
    std::string freeCopyPath() const;
    QString displayName() const;

    std::string m_path;
    FileRead m_read;
    int m_problemCount = 0;
    std::vector<std::string> m_problems;
    bool m_unreadable = false;
    bool m_notRegular = false;
    /// The file had parts that were not read and has not been copied aside yet.
    bool m_copyPending = false;
    std::string m_copyPath;
};

/// Writes bytes to path through a save file: written aside, flushed and committed, every step
/// checked. Empty on success, else why it failed; the file at path is then unchanged. With ownerOnly
/// the new file is readable and writable by its owner alone from its first byte on.
QString saveWhole(const std::string& path, const std::string& bytes, bool ownerOnly = false);

}  // namespace velkin
