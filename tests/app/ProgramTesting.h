#pragma once

#include <QObject>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <functional>

#include "app/CMainFrame.h"
#include "session/CSorvaneDoc.h"
#include "session/SqlText.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"
#include "views/CLeftView.h"
#include "views/CSorvaneView.h"

namespace velkin::test {

/// The program as it runs: a main window whose logins answer with the account of the moment (the
/// administrator unless a test changes it). A hook can run inside the login dialog, where the
/// person would still be typing.
struct Program {
    ScriptedOperator op;
    Account account = adminAccount();
    int logins = 0;
    int loginDepth = 0;
    int deepestLogin = 0;
    bool cancel = false;
    std::function<void()> whileLoggingIn;
    /// The SSH tunnel and the saved host the logins answer with; none by default.
    SshOptions ssh;
    QString profile;
    /// The saved host each login was offered to start from.
    QStringList profilesOffered;
    CSorvaneDoc doc{op, [this](const QString&, const QString& offered) -> std::optional<LoginValues> {
                        ++logins;
                        profilesOffered << offered;
                        ++loginDepth;
                        deepestLogin = std::max(deepestLogin, loginDepth);
                        if (whileLoggingIn)
                            whileLoggingIn();
                        --loginDepth;
                        if (cancel)
                            return std::nullopt;
                        return login();
                    }};
    CMainFrame frame{doc, op};

    /// Logged in as the program starts; a keep-alive interval (in milliseconds) replaces the
    /// minute, so that a test waits for the check instead of calling it.
    explicit Program(int keepAliveMs = 0) : Program(keepAliveMs, SshOptions(), QString()) {}
    /// Logged in through an SSH tunnel, with the values of a saved host.
    Program(int keepAliveMs, const SshOptions& tunnel, const QString& savedHost)
        : ssh(tunnel), profile(savedHost) {
        doc.setStatusPanes(&frame.statusPanes());
        frame.initialUpdate();
        if (keepAliveMs > 0) {
            frame.keepAlive().setInterval(keepAliveMs);
            frame.keepAlive().start();
        }
        op.clear();
    }

    /// What the login of the moment answers.
    LoginValues login() const {
        LoginValues values{qs(account.user), qs(account.password), qs(testHost()),
                           QString::number(testPort())};
        values.ssh = ssh;
        values.profile = profile;
        return values;
    }

    Connection& session() {
        EXPECT_TRUE(doc.connection());
        return doc.sessionConnection();
    }

    /// Kills the session's thread from a second connection, lets the keep-alive find the loss and
    /// waits for the new login. Returns the new thread's id.
    unsigned long loseAndLogInAgain() {
        const unsigned long lost = session().threadId();
        auto killer = connectAdmin();
        exec(*killer, sqlf("KILL %lu", lost));
        const int before = logins;
        EXPECT_TRUE(QTest::qWaitFor([&] { return logins > before && frame.tree().isReady(); }, 5000))
            << "the keep-alive finds the killed session";
        EXPECT_EQ(1, op.messageTexts().count("The session to a server is cut."));
        EXPECT_TRUE(doc.isConnected());
        const unsigned long renewed = session().threadId();
        EXPECT_NE(lost, renewed);
        EXPECT_EQ(std::to_string(renewed), scalar(session(), "SELECT CONNECTION_ID()"));
        op.clear();
        return renewed;
    }
};

template <typename T>
T* child(QObject& parent, const char* name) {
    T* found = parent.findChild<T*>(QString::fromUtf8(name));
    EXPECT_NE(nullptr, found) << name;
    return found;
}

inline QTreeWidgetItem* childNamed(QTreeWidgetItem* parent, const QString& name) {
    for (int i = 0; parent && i < parent->childCount(); ++i)
        if (parent->child(i)->text(0) == name)
            return parent->child(i);
    return nullptr;
}

/// Selects database and table in the tree as the person's clicks do; the record list it shows.
inline CSorvaneView* openTable(Program& p, const QString& database, const QString& table) {
    CLeftView& tree = p.frame.tree();
    QTreeWidgetItem* db = childNamed(tree.databaseRoot(), database);
    if (!db)
        return nullptr;
    tree.setCurrentItem(db);
    QTreeWidgetItem* node = childNamed(db, table);
    if (!node)
        return nullptr;
    tree.setCurrentItem(node);
    return p.frame.recordList();
}

}  // namespace velkin::test
