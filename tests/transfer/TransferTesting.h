#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QString>
#include <ctime>
#include <string>

namespace velkin::test {

/// The named child widget; fails the test when there is none.
template <typename T>
T* child(QObject& parent, const QString& name) {
    T* found = parent.findChild<T*>(name);
    EXPECT_NE(nullptr, found) << name.toStdString();
    return found;
}

/// The whole content of a file as bytes; empty when it cannot be read.
inline std::string fileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}

inline void writeFileBytes(const QString& path, const std::string& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

/// Returns just after the calendar clock turned to a new second, so that work of a few
/// milliseconds started now ends within the same second.
inline void waitForFreshSecond() {
    const std::time_t start = std::time(nullptr);
    while (std::time(nullptr) == start) {
    }
}

}  // namespace velkin::test
