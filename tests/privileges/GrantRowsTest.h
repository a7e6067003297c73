#pragma once

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <memory>
#include <string>
#include <vector>

#include "privileges/SelectDatabaseDialog.h"
#include "session/Connection.h"
#include "session/SqlText.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"

namespace velkin::test {

/// Removes every account, database row, host row and table or column grant whose user, host or database
/// begins with the LIKE prefix (escaped): accounts with DROP USER where the server keeps them apart from
/// mysql.user, then a reload, so that what an aborted run left behind cannot change a later test.
inline void cleanGrantRows(Connection& admin, const std::string& prefix) {
    const std::string like = "LIKE '" + prefix + "%'";
    if (onStockServer()) {
        Result accounts =
            admin.select("SELECT User, Host FROM mysql.user WHERE User " + like + " OR Host " + like);
        std::vector<std::string> drops;
        while (Row row = accounts.fetchRow())
            drops.push_back(
                sqlf("DROP USER %s@%s", quoteValue(admin, row.text(0)), quoteValue(admin, row.text(1))));
        for (const auto& sql : drops)
            exec(admin, sql);
    } else {
        exec(admin, "DELETE FROM mysql.user WHERE User " + like + " OR Host " + like);
    }
    exec(admin, "DELETE FROM mysql.db WHERE User " + like + " OR Host " + like + " OR Db " + like);
    if (!onStockServer())
        exec(admin, "DELETE FROM mysql.host WHERE Host " + like + " OR Db " + like);
    for (const char* table : {"tables_priv", "columns_priv", "procs_priv"})
        exec(admin, sqlf("DELETE FROM mysql.%s WHERE User %s OR Host %s OR Db %s", table, like, like, like));
    exec(admin, "FLUSH PRIVILEGES");
}

/// Grant-table rows made for one test and removed afterwards: every user, host and database name
/// of these tests begins with velkin_pe.
class GrantRowsTest : public ::testing::Test {
protected:
    void SetUp() override { cleanUp(); }
    void TearDown() override { cleanUp(); }
    void cleanUp() { cleanGrantRows(*admin, "velkin\\_pe"); }
    /// Rows as SQL literals; extra is further ", Column = 'Y'" assignments. Where mysql.user is not a
    /// table the account is created and the extra privileges granted.
    void addUser(const std::string& host, const std::string& user, const std::string& extra = "") {
        if (onStockServer()) {
            exec(*admin, sqlf("CREATE USER %s@%s", literal(user), literal(host)));
            std::string privileges;
            for (size_t at = extra.find(", "); at != std::string::npos; at = extra.find(", ", at + 1)) {
                const size_t end = extra.find("_priv", at);
                std::string name = extra.substr(at + 2, end - at - 2);
                for (auto& c : name)
                    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                privileges += (privileges.empty() ? "" : ", ") + name;
            }
            if (!privileges.empty())
                exec(*admin, sqlf("GRANT %s ON *.* TO %s@%s", privileges, literal(user), literal(host)));
            return;
        }
        exec(*admin,
             sqlf("INSERT INTO mysql.user SET Host = %s, User = %s%s", literal(host), literal(user), extra));
    }
    void addDb(const std::string& host, const std::string& db, const std::string& user,
               const std::string& extra = "") {
        exec(*admin, sqlf("INSERT INTO mysql.db SET Host = %s, Db = %s, User = %s%s", literal(host),
                          literal(db), literal(user), extra));
    }
    void addHost(const std::string& host, const std::string& db, const std::string& extra = "") {
        exec(*admin,
             sqlf("INSERT INTO mysql.host SET Host = %s, Db = %s%s", literal(host), literal(db), extra));
    }
    std::string literal(const std::string& text) { return quoteValue(*admin, std::string_view(text)); }
    std::string value(const std::string& sql) { return scalar(*admin, sql); }
    /// The rows of a query as the server sends them, each made one text from the cells at the
    /// given positions joined by "|"; the dialogs' own statement gives their order.
    std::vector<std::string> rows(const std::string& sql, std::initializer_list<unsigned> positions) {
        std::vector<std::string> texts;
        Result result = admin->select(sql);
        EXPECT_TRUE(result) << sql;
        while (Row row = result.fetchRow()) {
            std::string text;
            bool first = true;
            for (unsigned p : positions) {
                text += (first ? "" : "|") + row.str(p);
                first = false;
            }
            texts.push_back(text);
        }
        return texts;
    }

    template <typename Widget>
    static Widget* child(QObject& parent, const char* name) {
        auto* w = parent.findChild<Widget*>(QString::fromUtf8(name));
        EXPECT_NE(nullptr, w) << name;
        return w;
    }
    static QLineEdit* edit(QObject& parent, const char* name) { return child<QLineEdit>(parent, name); }
    static QCheckBox* box(QObject& parent, const char* name) { return child<QCheckBox>(parent, name); }
    /// The labels of a list, top to bottom.
    static std::vector<std::string> labels(const QListWidget* list) {
        std::vector<std::string> texts;
        for (int i = 0; i < list->count(); ++i)
            texts.push_back(list->item(i)->text().toStdString());
        return texts;
    }
    static QListWidgetItem* entry(QListWidget* list, const QString& label) {
        const auto found = list->findItems(label, Qt::MatchExactly);
        EXPECT_EQ(1, found.size()) << label.toStdString();
        return found.isEmpty() ? nullptr : found.first();
    }
    /// The names of the checked boxes whose name begins with prefix, in the dialog's order.
    static std::vector<std::string> checked(QObject& parent, const QString& prefix) {
        std::vector<std::string> names;
        for (auto* b : parent.findChildren<QCheckBox*>())
            if (b->objectName().startsWith(prefix) && b->isChecked())
                names.push_back(b->objectName().toStdString());
        return names;
    }

    /// Answers the next Select Database dialog by double-clicking the named database.
    void chooseDatabase(const QString& name) {
        op.onModal([name](QDialog& dialog) {
            auto& chooser = dynamic_cast<SelectDatabaseDialog&>(dialog);
            auto found = chooser.list()->findItems(name, Qt::MatchExactly);
            if (found.isEmpty())
                return int(QDialog::Rejected);
            chooser.choose(found.first());
            return chooser.result();
        });
    }

    std::unique_ptr<Connection> admin = connectAdmin();
    std::unique_ptr<Connection> session = connectAdmin();
    ScriptedOperator op;
};

/// The host screens as they work where the server still reads mysql.host (MySQL before 5.6.7, MariaDB
/// before 10.0): the session is told it talks to such a server, and the classic server's mysql.host
/// table stands in for that server's. The stock server has no mysql.host, so these cases do not run
/// there; what the host screens do on current servers is tested on both.
class HostTableTest : public GrantRowsTest {
protected:
    void SetUp() override {
        if (onStockServer())
            GTEST_SKIP() << "no mysql.host on a server as installed";
        GrantRowsTest::SetUp();
        pinOldServer(*session);
    }
    static void pinOldServer(Connection& connection) {
        ServerDialect old(50173, false);
        old.learnAccounts({"BASE TABLE", true, false, true});
        connection.setDialect(old);
    }
};

inline std::vector<std::string> reversed(std::vector<std::string> v) {
    return {v.rbegin(), v.rend()};
}

/// The ten mysql.db or mysql.host fragments with the named columns on.
inline std::string tenFragments(std::initializer_list<const char*> on) {
    const char* names[] = {"Select", "Insert", "Update",     "Delete", "Create",
                           "Drop",   "Grant",  "References", "Index",  "Alter"};
    const bool trailingBlank[] = {false, false, true, true, true, true, true, true, false, false};
    std::string text;
    for (int i = 0; i < 10; ++i) {
        bool isOn = false;
        for (const char* n : on)
            isOn = isOn || std::string(n) == names[i];
        text += sqlf(",%s_priv = '%s'%s", names[i], isOn ? "Y" : "N", trailingBlank[i] ? " " : "");
    }
    return text;
}

}  // namespace velkin::test
