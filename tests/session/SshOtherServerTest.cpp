#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "profiles/HostFile.h"
#include "profiles/SshSettingsFile.h"
#include "session/SshTunnel.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"
#include "transfer/DuplicateFromOtherServersDialog.h"

using namespace velkin;
using namespace velkin::test;

namespace {

std::string sshPath(const std::string& name) {
    return std::string(std::getenv("VELKIN_SSH_DIR")) + "/" + name;
}

unsigned int sshdPort() {
    std::ifstream in(sshPath("port"));
    unsigned int port = 0;
    in >> port;
    return port;
}

template <typename T>
T* named(QWidget& parent, const char* name) {
    T* found = parent.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        ADD_FAILURE() << "no widget " << name;
    return found;
}

void pick(QListWidget* list, const QString& text) {
    const auto found = list->findItems(text, Qt::MatchExactly);
    ASSERT_EQ(1, found.size()) << text.toStdString();
    list->setCurrentItem(found.front());
}

}  // namespace

TEST(SshOtherServer, ACopyFromAnotherServerGoesThroughThatProfilesOwnTunnel) {
    std::filesystem::remove(SshTunnel::ownKnownHostsPath());
    ScratchDirectory dir;
    ScratchDatabase source("velkin_ssh_source");
    ScratchDatabase target("velkin_ssh_target");
    exec(source.admin(), "CREATE TABLE velkin_ssh_source.t (id INT PRIMARY KEY, name VARCHAR(10))");
    exec(source.admin(), "INSERT INTO velkin_ssh_source.t VALUES (1, 'a'), (2, NULL), (3, 'c')");
    // The other server's profile reaches it only through the SSH host, by the agent's key.
    const passwd* pw = getpwuid(getuid());
    ASSERT_TRUE(HostFile().append(
        {"behind", testHost(), adminAccount().user, adminAccount().password, std::to_string(testPort())}));
    ASSERT_TRUE(SshSettingsFile().store(
        "", "behind", SshOptions{"127.0.0.1", sshdPort(), pw ? pw->pw_name : "root", SshAuth::Agent, ""}));

    auto session = connectAdmin();
    ScriptedOperator op;
    op.defaultAnswer = true;
    DuplicateFromOtherServersDialog dialog(*session, op);
    pick(named<QListWidget>(dialog, "Server"), "behind");
    ASSERT_NE(nullptr, dialog.sourceConnection()) << op.messageTexts().join("|").toStdString();
    ASSERT_EQ(1u, op.questions.size()) << "the SSH host's key is asked about on first sight";
    EXPECT_TRUE(op.questions[0].text.contains("SHA256:"));
    ASSERT_TRUE(dialog.sourceConnection()->tunnel());
    EXPECT_TRUE(dialog.sourceConnection()->tunnel()->isAlive());
    EXPECT_FALSE(session->tunnel()) << "the session itself stays direct";

    pick(named<QListWidget>(dialog, "Database"), "velkin_ssh_source");
    pick(named<QListWidget>(dialog, "Table"), "t");
    auto* places = named<QComboBox>(dialog, "The database of a duplicate place");
    places->setCurrentIndex(places->findText("velkin_ssh_target"));
    named<QLineEdit>(dialog, "A new table name")->setText("t");
    op.clear();
    op.answer(true);
    dialog.duplicate();
    EXPECT_EQ(QStringList{"It was created normally."}, op.messageTexts());
    EXPECT_EQ("1:a,2:NULL,3:c", scalar(target.admin(),
                                       "SELECT GROUP_CONCAT(id, ':', IFNULL(name, 'NULL') ORDER BY "
                                       "id) FROM velkin_ssh_target.t"));
    std::filesystem::remove(SshTunnel::ownKnownHostsPath());
}
