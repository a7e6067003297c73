#include "Settings.h"

#include <QDir>
#include <QFileInfo>

namespace velkin {

Settings::Settings()
    : m_store(QStringLiteral("Local AppWizard-Generated Applications"), QStringLiteral("VelkinSorvane")) {}

QString Settings::folder() const {
    return QFileInfo(m_store.fileName()).absolutePath();
}

int Settings::readInt(const QString& section, const QString& key, int defaultValue) const {
    bool ok = false;
    int value = m_store.value(section + '/' + key, defaultValue).toInt(&ok);
    return ok ? value : defaultValue;
}

void Settings::writeInt(const QString& section, const QString& key, int value) {
    m_store.setValue(section + '/' + key, value);
    m_store.sync();
}

QString Settings::readText(const QString& section, const QString& key, const QString& defaultValue) const {
    return m_store.value(section + '/' + key, defaultValue).toString();
}

void Settings::writeText(const QString& section, const QString& key, const QString& value) {
    m_store.setValue(section + '/' + key, value);
    m_store.sync();
}

int Settings::pageLength() const {
    int rows = readInt(QStringLiteral("SQLDLG"), QStringLiteral("PageLength"), 100);
    return rows == 0 ? 100 : rows;
}

void Settings::setPageLength(int rows) {
    writeInt(QStringLiteral("SQLDLG"), QStringLiteral("PageLength"), rows);
}

int Settings::consoleResultLimit() const {
    const int megabytes = readInt(QStringLiteral("SQLDLG"), QStringLiteral("ResultLimitMB"), 2048);
    return megabytes > 0 ? megabytes : 2048;
}

void Settings::setConsoleResultLimit(int megabytes) {
    writeInt(QStringLiteral("SQLDLG"), QStringLiteral("ResultLimitMB"), megabytes);
}

}  // namespace velkin
