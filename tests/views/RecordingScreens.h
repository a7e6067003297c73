#pragma once

#include <QStringList>
#include <deque>
#include <functional>

#include "views/ScreenDispatcher.h"

namespace velkin::test {

/// The tree's screens replaced by a record of what each was handed; dialogs that answer with a
/// name take it from a queue (an empty queue is a cancel).
class RecordingScreens : public ScreenDispatcher {
public:
    using ScreenDispatcher::ScreenDispatcher;
    QStringList opened;
    std::deque<QString> names;
    std::function<void()> console;

    std::optional<QString> openCreateDatabase() override { return note("create database"); }
    std::optional<QString> openCreateTable(const QString& db) override { return note("create table " + db); }
    std::optional<QString> openRenameTable(const QString& db, const QString& t) override {
        return note("rename " + db + "." + t);
    }
    std::optional<QString> openTableEditor(const QString& db, const QString& t) override {
        return note("table editor " + db + "." + t);
    }
    std::optional<QString> openDatabaseCopy(const QString& db, const QString& t) override {
        return note("database copy " + db + "." + t);
    }
    void openTableCopy(const QString& db, const QString& t) override {
        opened << ("table copy " + db + "." + t);
    }
    void openMaintenance(const QString& db, const QString& t) override {
        opened << ("maintenance " + db + "." + t);
    }
    void openDataAmount(const QString& db, const QString& t) override {
        opened << ("data amount " + db + "." + t);
    }
    void openTableExport(const QString& db, const QString& t) override {
        opened << ("csv export " + db + "." + t);
    }
    void openSqlConsole() override {
        opened << ("sql console");
        if (console)
            console();
    }
    void openDatabasePrivileges(const QString& db) override { opened << ("database privileges " + db); }
    void openAccessRestrictions(const QString& db) override { opened << ("access restrictions " + db); }
    void openUserList() override { opened << ("user list"); }
    void openHostList() override { opened << ("host list"); }
    void openDatabaseList() override { opened << ("database list"); }

private:
    /// Records the screen and gives its answer.
    std::optional<QString> note(const QString& what) {
        opened << what;
        if (names.empty())
            return std::nullopt;
        QString name = names.front();
        names.pop_front();
        return name;
    }
};

}  // namespace velkin::test
