#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTreeWidget>

#include "CopyTesting.h"
#include "TransferTesting.h"
#include "profiles/HostFile.h"
#include "profiles/SecretPlaceFile.h"
#include "session/ServerDialect.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"
#include "transfer/ColumnFormText.h"
#include "transfer/DuplicateFromOtherServersDialog.h"

using namespace velkin;
using namespace velkin::test;

namespace {

/// A second private server, the other server the rows come from; started once for these tests.
class OtherServer {
public:
    OtherServer() {
        // Started by the test run's fixture when there is one.
        const QByteArray fixture = qgetenv("VELKIN_OTHER_SERVER_DIR");
        if (!fixture.isEmpty()) {
            QFile portFile(QString::fromLocal8Bit(fixture) + "/port");
            if (!portFile.open(QIODevice::ReadOnly)) {
                m_error = "no port file in " + fixture.toStdString();
                return;
            }
            m_port = QString::fromLatin1(portFile.readAll()).trimmed().toUInt();
            return;
        }
        const QByteArray source = qgetenv("VELKIN_SOURCE_DIR");
        if (source.isEmpty()) {
            m_error = "VELKIN_SOURCE_DIR is not set; run the tests through ctest";
            return;
        }
        m_script = QString::fromLocal8Bit(source) + "/scripts/testserver";
        QProcess start;
        start.start(m_script, {"start", m_dir.path()});
        if (!start.waitForFinished(300000) || start.exitCode() != 0) {
            m_error = "the second server did not start: " + start.readAllStandardError().toStdString();
            return;
        }
        m_port = QString::fromLocal8Bit(start.readAllStandardOutput()).trimmed().toUInt();
    }
    ~OtherServer() {
        if (!m_script.isEmpty())
            QProcess::execute(m_script, {"stop", m_dir.path()});
    }
    unsigned int port() const { return m_port; }
    const std::string& error() const { return m_error; }
    std::unique_ptr<Connection> connect() const {
        auto c = std::make_unique<Connection>();
        if (!c->connect(testHost(), "root", "", m_port))
            ADD_FAILURE() << "cannot connect to the second server: " << c->errorText();
        return c;
    }

private:
    QTemporaryDir m_dir{QDir::tempPath() + "/velkin-dup-other-XXXXXX"};
    QString m_script;
    unsigned int m_port = 0;
    std::string m_error;
};

HostRecord profile(const std::string& name, unsigned int port, const Account& account) {
    return {name, testHost(), account.user, account.password, std::to_string(port)};
}

class DuplicateFromOtherServersTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_other = new OtherServer; }
    static void TearDownTestSuite() {
        delete s_other;
        s_other = nullptr;
    }
    void SetUp() override {
        ASSERT_EQ("", s_other->error());
        remote = s_other->connect();
        exec(*remote, "DROP DATABASE IF EXISTS velkin_dup_remote");
        exec(*remote, "CREATE DATABASE velkin_dup_remote");
        exec(*remote,
             "CREATE TABLE velkin_dup_remote.people (id INT PRIMARY KEY, name VARCHAR(20) NOT NULL, note "
             "TEXT, "
             "qty INT DEFAULT 5) ENGINE=InnoDB");
        exec(*remote,
             "INSERT INTO velkin_dup_remote.people VALUES (1, 'Ann', NULL, 2), (2, 'Bob', 'x''y', NULL)");
        // Three profiles, the middle one deleted: the other server, and this test server through
        // the common account.
        HostFile hosts;
        ASSERT_TRUE(hosts.append(profile("other", s_other->port(), adminAccount())));
        ASSERT_TRUE(hosts.append(profile("gone", s_other->port(), adminAccount())));
        ASSERT_TRUE(hosts.append(profile("here", testPort(), commonAccount())));
        ASSERT_TRUE(hosts.markDeadFirst("gone"));
    }
    void TearDown() override {
        if (remote)
            exec(*remote, "DROP DATABASE IF EXISTS velkin_dup_remote");
    }
    QListWidget* list(QDialog& d, const char* name) { return child<QListWidget>(d, name); }
    QStringList texts(QListWidget* l) {
        QStringList all;
        for (int i = 0; i < l->count(); ++i)
            all << l->item(i)->text();
        return all;
    }
    void select(QListWidget* l, const QString& text) {
        const auto found = l->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(1, found.size()) << text.toStdString();
        l->setCurrentItem(found.front());
    }
    void choose(QComboBox* box, const QString& text) {
        const int i = box->findText(text);
        ASSERT_GE(i, 0) << text.toStdString();
        box->setCurrentIndex(i);
    }
    QComboBox* destination(QDialog& d) { return child<QComboBox>(d, "The database of a duplicate place"); }
    /// Chooses the other server's table and its copy of the same name in the local database.
    void copyInto(QDialog& d, const QString& table) {
        select(list(d, "Server"), "other");
        select(list(d, "Database"), "velkin_dup_remote");
        select(list(d, "Table"), table);
        choose(destination(d), "velkin_dup_local");
        child<QLineEdit>(d, "A new table name")->setText(table);
    }
    std::string remoteCreate(const std::string& table) {
        Result r = remote->select("SHOW CREATE TABLE " + table);
        Row row = r.fetchRow();
        return row ? row.str(1) : std::string();
    }

    static OtherServer* s_other;
    ScratchDirectory dir;
    ScratchDatabase local{"velkin_dup_local"};
    std::unique_ptr<Connection> session = connectAdmin();
    std::unique_ptr<Connection> remote;
    ScriptedOperator op;
};

OtherServer* DuplicateFromOtherServersTest::s_other = nullptr;

}  // namespace

TEST_F(DuplicateFromOtherServersTest, OpeningListsTheLiveProfilesAndTheSessionsChoices) {
    StatementLog sent;
    DuplicateFromOtherServersDialog dialog(*session, op);
    const std::vector<std::string> opening = sent.statements;
    EXPECT_EQ("The duplicate from other servers", dialog.windowTitle());
    EXPECT_EQ((QStringList{"other", "here"}), texts(list(dialog, "Server")));
    EXPECT_EQ(0, list(dialog, "Database")->count());
    auto* types = child<QComboBox>(dialog, "Table type");
    EXPECT_EQ(-1, types->currentIndex());
    // The types this server has, not those of long-gone servers.
    QStringList offered;
    for (int i = 0; i < types->count(); ++i)
        offered << types->itemText(i);
    QStringList expected;
    for (const std::string& type : serverTableTypes(*session))
        expected << QString::fromStdString(type);
    EXPECT_EQ(expected, offered);
    EXPECT_FALSE(offered.contains("ISAM"));
    EXPECT_TRUE(offered.contains("MyISAM"));
    EXPECT_EQ(-1, destination(dialog)->currentIndex());
    EXPECT_GE(destination(dialog)->findText("velkin_dup_local"), 0);
    EXPECT_TRUE(child<QCheckBox>(dialog, "A data copy is performed.")->isChecked());
    EXPECT_EQ("SHOW ENGINES", opening.front());
    EXPECT_EQ("SHOW DATABASES", opening.back());
    EXPECT_EQ(nullptr, dialog.sourceConnection());
    // No profile file: no servers.
    QFile::remove("Host.DAT");
    DuplicateFromOtherServersDialog empty(*session, op);
    EXPECT_EQ(0, list(empty, "Server")->count());
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(DuplicateFromOtherServersTest, BrowsingTheOtherServerFillsTheListsAndTheCreateBox) {
    DuplicateFromOtherServersDialog dialog(*session, op);
    // A type chosen before any table changes nothing yet.
    choose(child<QComboBox>(dialog, "Table type"), "MyISAM");
    EXPECT_EQ("", dialog.createText());

    ConnectionStatements sent;
    select(list(dialog, "Server"), "other");
    ASSERT_NE(nullptr, dialog.sourceConnection());
    Connection& second = *dialog.sourceConnection();
    EXPECT_TRUE(texts(list(dialog, "Database")).contains("velkin_dup_remote"));
    EXPECT_FALSE(texts(list(dialog, "Database")).contains("velkin_dup_local"));
    select(list(dialog, "Database"), "velkin_dup_remote");
    EXPECT_EQ((QStringList{"people"}), texts(list(dialog, "Table")));
    select(list(dialog, "Table"), "people");
    EXPECT_EQ((std::vector<std::string>{"SHOW DATABASES", "USE velkin_dup_remote", "SHOW TABLES",
                                        "SHOW fields FROM velkin_dup_remote.people",
                                        "Show create table velkin_dup_remote.people;"}),
              sent.on(second));
    EXPECT_TRUE(sent.on(*session).empty());

    auto* fields = child<QTreeWidget>(dialog, "Fields");
    ASSERT_EQ(4, fields->topLevelItemCount());
    auto cells = [&](int row) {
        QStringList all;
        for (int i = 0; i < 6; ++i)
            all << fields->topLevelItem(row)->text(i);
        return all;
    };
    EXPECT_EQ((QStringList{"id", "int(11)", "NO", "PRI", "", ""}), cells(0));
    // A default of NULL leaves the default and the other cell empty.
    EXPECT_EQ((QStringList{"note", "text", "YES", "", "", ""}), cells(2));
    EXPECT_EQ((QStringList{"qty", "int(11)", "YES", "", "5", ""}), cells(3));
    // The type applies to the loaded statement; without a destination the source's name stays.
    const std::string server = remoteCreate("velkin_dup_remote.people");
    std::string expected = server;
    expected.replace(expected.find("ENGINE=InnoDB"), 13, "ENGINE=MyISAM");
    EXPECT_EQ(expected, dialog.createText().toStdString());
    choose(destination(dialog), "velkin_dup_local");
    expected.replace(0, expected.find('('), "CREATE TABLE velkin_dup_local. ");
    EXPECT_EQ(expected, dialog.createText().toStdString());
    child<QLineEdit>(dialog, "A new table name")->setText("copy");
    expected.replace(0, expected.find('('), "CREATE TABLE velkin_dup_local.copy ");
    EXPECT_EQ(expected, dialog.createText().toStdString());

    // Choosing the database again forgets the table and empties the box.
    list(dialog, "Database")->setCurrentItem(nullptr);
    select(list(dialog, "Database"), "velkin_dup_remote");
    EXPECT_EQ("", dialog.createText());
    EXPECT_EQ(0, fields->topLevelItemCount());
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(DuplicateFromOtherServersTest, DuplicateCreatesTheTableAndCopiesItsRowsFromTheOtherServer) {
    createAwkwardTable(*remote, "velkin_dup_remote", "odd", 1200);
    DuplicateFromOtherServersDialog dialog(*session, op);
    select(list(dialog, "Server"), "other");
    select(list(dialog, "Database"), "velkin_dup_remote");
    select(list(dialog, "Table"), "odd");

    // The question comes first, then the inputs are checked.
    op.answer(true);
    dialog.duplicate();
    choose(destination(dialog), "velkin_dup_local");
    op.answer(true);
    dialog.duplicate();
    op.answer(false);
    child<QLineEdit>(dialog, "A new table name")->setText("odd");
    dialog.duplicate();
    EXPECT_EQ((QStringList{"The database of a copy place is chosen.", "A new table is inputted."}),
              op.messageTexts());
    EXPECT_EQ(3u, op.questions.size());
    EXPECT_EQ("May I reproduce?", op.questions[0].text);

    op.clear();
    ConnectionStatements sent;
    op.answer(true);
    dialog.duplicate();
    EXPECT_EQ(QStringList{"It was created normally."}, op.messageTexts());
    EXPECT_EQ(awkwardRows(*remote, "velkin_dup_remote.odd"),
              awkwardRows(local.admin(), "velkin_dup_local.odd"));
    EXPECT_EQ(checksum(*remote, "velkin_dup_remote.odd"), checksum(local.admin(), "velkin_dup_local.odd"));
    Connection& source = *dialog.sourceConnection();
    EXPECT_EQ((std::vector<std::string>{"SELECT @@SESSION.time_zone", "SET time_zone = '+00:00'",
                                        tableTypeQuery(source, "velkin_dup_remote", "odd"),
                                        tableColumnsQuery(source, "velkin_dup_remote", "odd"),
                                        "select count(*) from velkin_dup_remote.odd",
                                        "select id,name,note,amount,data from velkin_dup_remote.odd",
                                        "SET time_zone = 'SYSTEM'"}),
              sent.on(source));
    EXPECT_EQ(1, sent.countStartingWith("CREATE TABLE velkin_dup_local.odd ("));
    // The rows went in whole by one LOAD DATA from the client; none needed an INSERT.
    EXPECT_EQ(1, sent.countStartingWith("LOAD DATA LOCAL INFILE 'rows' INTO TABLE velkin_dup_local.odd "));
    EXPECT_EQ(1, sent.countStartingWith("COMMIT"));
    EXPECT_EQ(0, sent.countStartingWith("INSERT INTO velkin_dup_local.odd"));
    EXPECT_FALSE(session->localInfile());
    EXPECT_EQ("1207", child<QLineEdit>(dialog, "The number of copied material records")->text());
    EXPECT_EQ("1207", child<QLineEdit>(dialog, "The copied number of records")->text());
    EXPECT_EQ(
        "Data shift start\r\n"
        "Data acquisition start 0 - 1000     Data acquisition success 0 - 1000\r\n"
        "Data acquisition start 1000 - 2000     Data acquisition success 1000 - 2000\r\n"
        "Data acquisition start 2000 - 3000     Data shift end\r\n",
        fileBytes("rep_other_server.log"));

    // Again into the same name: the server's refusal, nothing copied.
    op.clear();
    op.answer(true);
    dialog.duplicate();
    EXPECT_EQ(QStringList{"Table 'odd' already exists"}, op.messageTexts());
    EXPECT_EQ("1207", scalar(local.admin(), "SELECT COUNT(*) FROM velkin_dup_local.odd"));
}

TEST_F(DuplicateFromOtherServersTest, ForeignKeyToAParentTheDestinationLacksIsAskedAbout) {
    exec(*remote,
         "CREATE TABLE velkin_dup_remote.kid (id INT PRIMARY KEY, pid INT, CONSTRAINT to_people "
         "FOREIGN KEY (pid) REFERENCES people (id)) ENGINE=InnoDB");
    exec(*remote, "INSERT INTO velkin_dup_remote.kid VALUES (1, 1), (2, 2)");
    DuplicateFromOtherServersDialog dialog(*session, op);
    copyInto(dialog, "kid");
    op.answer(true);
    op.answer(true);
    dialog.duplicate();
    ASSERT_EQ(2u, op.questions.size());
    EXPECT_EQ(
        "The foreign key to_people of velkin_dup_local.kid refers to velkin_dup_local.people, which the "
        "destination does not have.\nMay I copy the table without that foreign key?",
        op.questions[1].text.toStdString());
    EXPECT_EQ(QStringList{"It was created normally."}, op.messageTexts());
    EXPECT_EQ("2", scalar(local.admin(), "SELECT COUNT(*) FROM velkin_dup_local.kid"));
    EXPECT_EQ("0", scalar(local.admin(),
                          "SELECT COUNT(*) FROM information_schema.REFERENTIAL_CONSTRAINTS "
                          "WHERE CONSTRAINT_SCHEMA = 'velkin_dup_local'"));
}

TEST_F(DuplicateFromOtherServersTest, StopEndsTheCopyAndSaysWhatLanded) {
    exec(*remote, "CREATE TABLE velkin_dup_remote.many (id INT PRIMARY KEY, pad VARCHAR(100)) ENGINE=InnoDB");
    exec(*remote,
         "INSERT INTO velkin_dup_remote.many SELECT seq, REPEAT('y', 100) FROM "
         "velkin_dup_remote.seq_1_to_300000");
    DuplicateFromOtherServersDialog dialog(*session, op);
    copyInto(dialog, "many");
    bool stopped = false;
    QObject::connect(child<QLineEdit>(dialog, "The copied number of records"), &QLineEdit::textChanged, [&] {
        if (stopped)
            return;
        stopped = true;
        EXPECT_FALSE(child<QPushButton>(dialog, "Duplicate")->isEnabled());
        child<QPushButton>(dialog, "Stop")->click();
    });
    op.answer(true);
    dialog.duplicate();
    ASSERT_TRUE(stopped);
    const std::string landed = scalar(local.admin(), "SELECT COUNT(*) FROM velkin_dup_local.many");
    EXPECT_LT(std::stoll(landed), 300000);
    EXPECT_EQ(QStringList{QString::fromStdString(
                  "The copy was stopped: " + landed + " records were copied.\n" +
                  std::to_string(300000 - std::stoll(landed)) + " records were not copied.")},
              op.messageTexts());
    EXPECT_TRUE(child<QPushButton>(dialog, "Cancel")->isEnabled());
    // The other server's connection is usable again.
    EXPECT_EQ("1", scalar(*dialog.sourceConnection(), "SELECT 1"));
}

TEST_F(DuplicateFromOtherServersTest, OneSecondConnectionAtATimeClosedWithTheDialog) {
    const int before = Connection::openCount();
    {
        DuplicateFromOtherServersDialog dialog(*session, op);
        select(list(dialog, "Server"), "other");
        ASSERT_NE(nullptr, dialog.sourceConnection());
        EXPECT_EQ(before + 1, Connection::openCount());
        const unsigned long first = dialog.sourceConnection()->threadId();
        select(list(dialog, "Server"), "here");
        ASSERT_NE(nullptr, dialog.sourceConnection());
        EXPECT_EQ(before + 1, Connection::openCount());
        // The common account of this server sees its own database only.
        EXPECT_TRUE(texts(list(dialog, "Database")).contains("sorvane_common"));
        EXPECT_FALSE(texts(list(dialog, "Database")).contains("velkin_dup_local"));
        // The server ends the thread of a closed connection a moment after the client has left.
        const std::string gone = sqlf("SELECT ID FROM information_schema.PROCESSLIST WHERE ID = %lu", first);
        for (int i = 0; i < 100 && scalar(*remote, gone) != "(none)"; ++i)
            QThread::msleep(20);
        EXPECT_EQ("(none)", scalar(*remote, gone));
        dialog.reject();
        EXPECT_EQ(nullptr, dialog.sourceConnection());
        EXPECT_EQ(before, Connection::openCount());
    }
    // A server that cannot be reached: empty lists, no message.
    QFile::remove("Host.DAT");
    ASSERT_TRUE(HostFile().append({"nowhere", testHost(), "root", "", "1"}));
    DuplicateFromOtherServersDialog dialog(*session, op);
    select(list(dialog, "Server"), "nowhere");
    EXPECT_EQ(nullptr, dialog.sourceConnection());
    EXPECT_EQ(0, list(dialog, "Database")->count());
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(DuplicateFromOtherServersTest, TortureTableRoundTripsBetweenServersInOtherTimeZones) {
    // The other server lives nine hours east of the session's; new connections take its zone.
    exec(*remote, "SET GLOBAL time_zone = '+09:00'");
    struct ZoneBack {
        Connection& c;
        ~ZoneBack() { c.query("SET GLOBAL time_zone = 'SYSTEM'"); }
    } zoneBack{*remote};
    auto there = s_other->connect();
    ASSERT_EQ("+09:00", scalar(*there, "SELECT @@SESSION.time_zone"));
    createTortureTable(*there, "velkin_dup_remote.torture");
    const std::vector<std::string> original = tortureRows(*there, "velkin_dup_remote.torture");

    // There to here.
    ConnectionStatements sent;
    {
        DuplicateFromOtherServersDialog dialog(*session, op);
        select(list(dialog, "Server"), "other");
        select(list(dialog, "Database"), "velkin_dup_remote");
        select(list(dialog, "Table"), "torture");
        choose(destination(dialog), "velkin_dup_local");
        child<QLineEdit>(dialog, "A new table name")->setText("torture");
        op.answer(true);
        dialog.duplicate();
        EXPECT_EQ(QStringList{"It was created normally."}, op.messageTexts());
    }
    EXPECT_EQ(original, tortureRows(local.admin(), "velkin_dup_local.torture"));
    EXPECT_EQ("+09:00", scalar(*there, "SELECT @@SESSION.time_zone"));

    // And back, with the other server as the session and this one as the saved profile.
    op.clear();
    HostFile hosts;
    ASSERT_TRUE(hosts.append(profile("home", testPort(), adminAccount())));
    {
        DuplicateFromOtherServersDialog dialog(*there, op);
        select(list(dialog, "Server"), "home");
        select(list(dialog, "Database"), "velkin_dup_local");
        select(list(dialog, "Table"), "torture");
        choose(destination(dialog), "velkin_dup_remote");
        child<QLineEdit>(dialog, "A new table name")->setText("back");
        op.answer(true);
        dialog.duplicate();
        EXPECT_EQ(QStringList{"It was created normally."}, op.messageTexts());
    }
    EXPECT_EQ("+09:00", scalar(*there, "SELECT @@SESSION.time_zone"));
    // Both ways the rows were loaded whole, not settled by INSERTs.
    EXPECT_EQ(2, sent.countStartingWith("LOAD DATA LOCAL INFILE"));
    EXPECT_EQ(0, sent.countStartingWith("ROLLBACK"));
    EXPECT_EQ("0", differingRows(*there, "velkin_dup_remote.torture", "velkin_dup_remote.back"));
    EXPECT_EQ("8", scalar(*there, "SELECT COUNT(*) FROM velkin_dup_remote.back"));
    EXPECT_EQ(original, tortureRows(*there, "velkin_dup_remote.back"));
}

TEST_F(DuplicateFromOtherServersTest, AProfileWhosePasswordIsKeptNowhereIsAskedForIt) {
    HostFile hosts;
    HostRecord asked = profile("asked", testPort(), commonAccount());
    asked.password.clear();
    ASSERT_TRUE(hosts.append(asked));
    ASSERT_TRUE(SecretPlaceFile().store("asked", "asked", SecretPlace::Asked));
    DuplicateFromOtherServersDialog dialog(*session, op);

    // Cancelled: no login is tried and nothing is listed.
    op.onModal([](QDialog&) { return int(QDialog::Rejected); });
    select(list(dialog, "Server"), "asked");
    EXPECT_EQ(QStringList{"Login"}, op.modalTitles);
    EXPECT_EQ(0, list(dialog, "Database")->count());

    // Typed: the account's databases are listed from a login with that password.
    op.clear();
    op.onModal([](QDialog& d) {
        child<QLineEdit>(d, "Password")->setText(QString::fromStdString(commonAccount().password));
        d.accept();
        return d.result();
    });
    select(list(dialog, "Server"), "here");
    select(list(dialog, "Server"), "asked");
    EXPECT_EQ(QStringList{"Login"}, op.modalTitles) << "the saved profile asks nothing";
    EXPECT_TRUE(texts(list(dialog, "Database")).contains("sorvane_common"));
}
