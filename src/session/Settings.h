#pragma once

#include <QRect>
#include <QSettings>
#include <QString>

namespace velkin {

/// The per-user settings store: sections and keys as the program has always kept them.
class Settings {
public:
    Settings();

    int readInt(const QString& section, const QString& key, int defaultValue) const;
    void writeInt(const QString& section, const QString& key, int value);
    QString readText(const QString& section, const QString& key, const QString& defaultValue) const;
    void writeText(const QString& section, const QString& key, const QString& value);

    /// "SQLDLG"/"PageLength"; a stored 0 counts as the default 100.
    int pageLength() const;
    /// The folder the settings are kept in; files of the program's own go beside them.
    QString folder() const;
    void setPageLength(int rows);
    /// "SQLDLG"/"ResultLimitMB": the cell megabytes the SQL console keeps of its results (2048).
    int consoleResultLimit() const;
    void setConsoleResultLimit(int megabytes);

private:
    mutable QSettings m_store;
};

}  // namespace velkin
