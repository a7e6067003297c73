#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <fstream>
#include <iterator>
#include <string>

#include "profiles/HostRecord.h"

namespace velkin::test {

inline std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

/// Permission bits of the file at path, or -1 when there is none.
inline int permissions(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? static_cast<int>(status.st_mode & 07777) : -1;
}

/// A full disk for this process: files cannot grow beyond maxBytes while it lives. Only the soft
/// limit is lowered, which needs no privilege and can be raised back; the signal that the limit
/// sends is ignored so the write fails with EFBIG instead.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t maxBytes) {
        m_signal = std::signal(SIGXFSZ, SIG_IGN);
        m_ok = ::getrlimit(RLIMIT_FSIZE, &m_old) == 0;
        rlimit lowered = m_old;
        lowered.rlim_cur = maxBytes;
        m_ok = m_ok && ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_signal);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool active() const { return m_ok; }

private:
    rlimit m_old{};
    void (*m_signal)(int) = nullptr;
    bool m_ok = false;
};

inline HostRecord hostRecord(const std::string& displayName, const std::string& hostName,
                             const std::string& userName, const std::string& password,
                             const std::string& port) {
    HostRecord record;
    record.displayName = displayName;
    record.hostName = hostName;
    record.userName = userName;
    record.password = password;
    record.port = port;
    return record;
}

/// A widget of the dialog by its object name; fails the test when there is none.
template <typename T>
T* widget(QWidget& dialog, const QString& name) {
    T* found = dialog.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << "no widget named " << name.toStdString();
    return found;
}

inline QLineEdit* field(QWidget& dialog, const QString& name) {
    return widget<QLineEdit>(dialog, name);
}

inline void setField(QWidget& dialog, const QString& name, const QString& text) {
    if (QLineEdit* edit = field(dialog, name))
        edit->setText(text);
}

inline void click(QWidget& dialog, const QString& name) {
    if (QPushButton* button = widget<QPushButton>(dialog, name))
        button->click();
}

/// Fills a host dialog and presses "Create"; the dialog's own result tells whether it closed.
inline int fillHostDialog(QDialog& dialog, const QString& displayName, const QString& userName,
                          const QString& password, const QString& hostName, const QString& port) {
    setField(dialog, "Display Name", displayName);
    setField(dialog, "User Name", userName);
    setField(dialog, "Password", password);
    setField(dialog, "Host Name", hostName);
    setField(dialog, "Port No", port);
    click(dialog, "Create");
    return dialog.result();
}

}  // namespace velkin::test
