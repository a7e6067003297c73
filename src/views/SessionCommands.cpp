#include "SessionCommands.h"

#include "ObjectTreeText.h"
#include "ScreenDispatcher.h"
#include "session/BackgroundWork.h"
#include "session/CSorvaneDoc.h"
#include "session/Operator.h"
#include "session/ProcessExit.h"
#include "session/Selection.h"
#include "session/SqlText.h"
#include "session/StatusPanes.h"

namespace velkin {

namespace {

constexpr unsigned int kGrantReload = 1;  // REFRESH_GRANT

QString deletionFailure(const Connection& c) {
    return textf("It failed in deletion.\n%d:%s", c.errorNumber(), c.errorText());
}

}  // namespace

void SessionCommands::reloadPrivileges() {
    Connection* connection = m_doc.connection();
    if (connection &&
        besideWindow(*connection, [connection] { return connection->refresh(kGrantReload); }) == 0)
        m_op.inform(QStringLiteral("The privilege table was reloaded."));
    else
        m_op.inform(QStringLiteral("It failed in the privilege table at the reload."));
}

void SessionCommands::stopServer() {
    if (!m_op.ask(QStringLiteral("本当に停止してもよろしいですか？")))
        return;
    Connection* connection = m_doc.connection();
    if (connection && besideWindow(*connection, [connection] { return connection->shutdown(); }) == 0) {
        m_op.inform(QStringLiteral("The server stopped. This program is also ended."));
        endProcess(0);
    }
    m_op.inform(QStringLiteral("It failed in the server stop. There may be no shutdown privilege."));
}

void SessionCommands::addUser() {
    if (!m_doc.isAdmin()) {
        m_op.inform(QStringLiteral("There is no authority."));
        return;
    }
    m_screens.openNewUserEditor();
    if (Connection* connection = m_doc.connection())
        besideWindow(*connection, [connection] { connection->refresh(kGrantReload); });
}

void SessionCommands::flush(Command which) {
    const std::optional<FlushText> f = flushText(which);
    if (!f)
        return;
    if (Connection* connection = m_doc.connection()) {
        // The outcome is not reported, but anything the server sent back must be read, or the next
        // statement on the connection would be refused.
        besideWindow(*connection, [connection, &f] {
            connection->query(f->statement);
            connection->storeResult();
        });
    }
    m_op.inform(QString::fromUtf8(f->message));
}

Connection* SessionCommands::confirmedDrop(const QString& name, const std::function<bool()>& stillAsked) {
    Connection* c = m_doc.connection();
    if (!c || !m_op.ask(textf("May I delete %s truly?", u8(name))) || !stillAsked())
        return nullptr;
    return c;
}

bool SessionCommands::dropDatabase(const QString& database, const std::function<bool()>& stillAsked) {
    if (database == systemDatabase()) {
        m_op.inform(QStringLiteral("This database cannot be deleted."));
        return false;
    }
    Connection* c = confirmedDrop(database, stillAsked);
    if (!c)
        return false;
    if (besideWindow(*c, [c, name = u8(database)] {
            return c->query(dropDatabaseStatement(c->dialect(), name));
        }) != 0) {
        m_op.inform(deletionFailure(*c));
        return false;
    }
    return true;
}

bool SessionCommands::dropTable(const QString& database, const QString& table,
                                const std::function<bool()>& stillAsked) {
    if (database == systemDatabase()) {
        m_op.inform(QStringLiteral("The table in mysql database cannot be deleted."));
        return false;
    }
    Connection* c = confirmedDrop(table, stillAsked);
    if (!c)
        return false;
    // The statement names the table alone; sent in whatever database happens to be selected, it
    // would drop a namesake there.
    const bool dropped = besideWindow(*c, [c, db = u8(database), name = u8(table)] {
        return c->selectDb(db) && c->query(dropTableStatement(c->dialect(), name)) == 0;
    });
    if (!dropped) {
        m_op.inform(deletionFailure(*c));
        return false;
    }
    return true;
}

std::optional<unsigned long> SessionCommands::lockTable(const Selection& chosen) {
    if (!chosen.hasTable()) {
        m_op.inform(QStringLiteral("A table is chosen."));
        return std::nullopt;
    }
    Connection* c = m_doc.connection();
    if (!c)
        return std::nullopt;
    const std::string lock = lockTableStatement(c->dialect(), u8(chosen.database), u8(chosen.table));
    if (besideWindow(*c, [c, &lock] { return c->query(lock); }) != 0) {
        m_op.inform(textf("The table was not locked.\n%d:%s", c->errorNumber(), c->errorText()));
        return std::nullopt;
    }
    return c->threadId();
}

bool SessionCommands::unlockTables() {
    Connection* c = m_doc.connection();
    if (!c)
        return false;
    besideWindow(*c, [c] { c->query(unlockTablesStatement()); });
    return true;
}

void SessionCommands::optimizeTable(const Selection& chosen) {
    if (!chosen.hasTable()) {
        m_op.inform(QStringLiteral("A table is chosen."));
        return;
    }
    Connection* c = m_doc.connection();
    if (!c)
        return;
    const std::string statement = optimizeTableStatement(c->dialect(), u8(chosen.database), u8(chosen.table));
    // OPTIMIZE of a big table takes minutes: it runs beside the window, with a Stop in the status bar.
    BackgroundWork work;
    StatusPanes* panes = m_doc.statusPanes();
    QObject* stop = panes ? panes->showWork(&work, QStringLiteral("Optimizing ") + chosen.table) : nullptr;
    {
        const InputPause pause(stop);
        // OPTIMIZE answers with rows; left unread they would block every later statement on the
        // session's connection.
        work.run({c}, [c, &statement](WorkControl&) {
            if (c->query(statement) == 0)
                c->storeResult();
        });
    }
    if (panes)
        panes->showWork(nullptr, QString());
    m_op.inform(work.stopRequested() ? QStringLiteral("The optimization of the table was stopped.")
                                     : QStringLiteral("The table was optimized."));
}

std::optional<QStringList> SessionCommands::databaseNames(int limit) {
    Connection* c = m_doc.connection();
    if (!c)
        return std::nullopt;
    Result result = besideWindow(*c, [c] { return c->select(showDatabasesStatement()); });
    if (!result)
        return std::nullopt;
    QStringList names;
    while (Row row = result.fetchRow()) {
        if (limit >= 0 && names.size() >= limit)
            break;
        names << qs(row.text(0));
    }
    return names;
}

}  // namespace velkin
