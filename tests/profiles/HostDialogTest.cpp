#include <gtest/gtest.h>

#include <filesystem>

#include "ProfileTesting.h"
#include "profiles/HostDialog.h"
#include "profiles/HostFile.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

TEST(HostDialog, AddModeAppendsTheRecordAfterYes) {
    ScratchDirectory dir;
    HostFile().append(hostRecord("old", "old.lan", "u", "p", "1"));
    ScriptedOperator op;
    op.answer(true);
    HostDialog dialog(op);

    EXPECT_EQ(dialog.windowTitle(), "Create Host Infomation");
    EXPECT_FALSE(dialog.isEditing());
    EXPECT_EQ(field(dialog, "Password")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(fillHostDialog(dialog, "office", "admin", "secret", "db.lan", "3307"), QDialog::Accepted);

    ASSERT_EQ(op.questions.size(), 1u);
    EXPECT_EQ(op.questions[0].text, "Is it really very well?");
    EXPECT_EQ(op.questions[0].caption, "VelkinSorvane");
    const std::string bytes = readFile("Host.DAT");
    ASSERT_EQ(bytes.size(), 2u * 1034u);
    EXPECT_EQ(bytes.substr(1034), hostRecord("office", "db.lan", "admin", "secret", "3307").toBytes());
    EXPECT_EQ(dialog.displayName(), "office");
    EXPECT_EQ(dialog.userName(), "admin");
    EXPECT_EQ(dialog.password(), "secret");
    EXPECT_EQ(dialog.hostName(), "db.lan");
    EXPECT_EQ(dialog.port(), "3307");
}

TEST(HostDialog, AnsweringNoStaysOpenAndWritesNothing) {
    ScratchDirectory dir;
    ScriptedOperator op;
    op.answer(false);
    HostDialog dialog(op);
    dialog.show();

    fillHostDialog(dialog, "office", "admin", "secret", "db.lan", "3307");

    EXPECT_EQ(op.questions.size(), 1u);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(std::filesystem::exists("Host.DAT"));
}

TEST(HostDialog, RefusesADisplayNameThatCannotBeALabelBeforeAsking) {
    ScratchDirectory dir;
    ScriptedOperator op;
    op.defaultAnswer = true;
    HostDialog dialog(op);
    dialog.show();

    for (const QString& name : {QString(), QString("two words"), QString(20, 'x')}) {
        op.clear();
        fillHostDialog(dialog, name, "admin", "secret", "db.lan", "3307");
        EXPECT_TRUE(op.questions.empty());
        EXPECT_EQ(op.messageTexts(),
                  QStringList{"A name must be 1 to 19 characters long and hold no blanks."});
        EXPECT_TRUE(dialog.isVisible());
    }
    EXPECT_FALSE(std::filesystem::exists("Host.DAT"));
}

TEST(HostDialog, CutsEachTextToItsFieldWhenWriting) {
    ScratchDirectory dir;
    ScriptedOperator op;
    op.answer(true);
    HostDialog dialog(op);
    fillHostDialog(dialog, "long", QString(300, 'u'), QString(256, 'p'), QString(999, 'h'), "1234567890");

    const std::string bytes = readFile("Host.DAT");
    ASSERT_EQ(bytes.size(), 1034u);
    EXPECT_EQ(HostRecord::fromBytes(bytes), hostRecord("long", std::string(255, 'h'), std::string(255, 'u'),
                                                       std::string(255, 'p'), "12345678"));
}

TEST(HostDialog, LeavingTheDisplayNameFillsTheOtherFieldsFromTheFirstSavedHost) {
    ScratchDirectory dir;
    HostFile hosts;
    hosts.append(hostRecord("office", "first.lan", "u1", "p1", "3301"));
    hosts.append(hostRecord("office", "second.lan", "u2", "p2", "3302"));
    ScriptedOperator op;
    HostDialog dialog(op);

    field(dialog, "Display Name")->setText("unknown");
    emit field(dialog, "Display Name")->editingFinished();
    EXPECT_EQ(dialog.hostName(), "");

    field(dialog, "Display Name")->setText("office");
    emit field(dialog, "Display Name")->editingFinished();
    EXPECT_EQ(dialog.hostName(), "first.lan");
    EXPECT_EQ(dialog.userName(), "u1");
    EXPECT_EQ(dialog.password(), "p1");
    EXPECT_EQ(dialog.port(), "3301");

    // An unknown name leaves what is there.
    field(dialog, "Display Name")->setText("nobody");
    emit field(dialog, "Display Name")->editingFinished();
    EXPECT_EQ(dialog.hostName(), "first.lan");
    EXPECT_EQ(dialog.displayName(), "nobody");
}

TEST(HostDialog, EditModeShowsTheFirstRecordAndRewritesItInPlace) {
    ScratchDirectory dir;
    HostFile hosts;
    hosts.append(hostRecord("lab", "lab.lan", "t", "pt", "3300"));
    hosts.append(hostRecord("office", "first.lan", "u1", "p1", "3301"));
    hosts.append(hostRecord("office", "second.lan", "u2", "p2", "3302"));
    const std::string before = readFile("Host.DAT");
    ScriptedOperator op;
    op.answer(true);

    HostDialog dialog(op, "office");
    EXPECT_EQ(dialog.windowTitle(), "Host edit");
    EXPECT_TRUE(dialog.isEditing());
    EXPECT_EQ(dialog.key(), "office");
    EXPECT_EQ(dialog.displayName(), "office");
    EXPECT_EQ(dialog.hostName(), "first.lan");
    EXPECT_EQ(dialog.userName(), "u1");
    EXPECT_EQ(dialog.password(), "p1");
    EXPECT_EQ(dialog.port(), "3301");

    EXPECT_EQ(fillHostDialog(dialog, "hq", "boss", "pw", "hq.lan", "3310"), QDialog::Accepted);

    const std::string after = readFile("Host.DAT");
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.substr(0, 1034), before.substr(0, 1034));
    EXPECT_EQ(after.substr(1034, 1034), hostRecord("hq", "hq.lan", "boss", "pw", "3310").toBytes());
    EXPECT_EQ(after.substr(2068), before.substr(2068));
}

TEST(HostDialog, EditingAHostWithoutRecordWritesNothingButCloses) {
    ScratchDirectory dir;
    HostFile().append(hostRecord("lab", "lab.lan", "t", "pt", "3300"));
    const std::string before = readFile("Host.DAT");
    ScriptedOperator op;
    op.answer(true);

    HostDialog dialog(op, "gone");
    EXPECT_EQ(dialog.displayName(), "");
    EXPECT_EQ(fillHostDialog(dialog, "gone", "u", "p", "h", "1"), QDialog::Accepted);
    EXPECT_EQ(readFile("Host.DAT"), before);
}

TEST(HostDialog, ClosesWithOkEvenWhenHostDatCannotBeWritten) {
    ScratchDirectory dir;
    std::filesystem::create_directory("Host.DAT");
    ScriptedOperator op;
    op.answer(true);
    HostDialog dialog(op);
    EXPECT_EQ(fillHostDialog(dialog, "office", "u", "p", "h", "1"), QDialog::Accepted);
    EXPECT_EQ(op.messageTexts(),
              QStringList{"Host.DAT could not be written (Is a directory). The host is not saved."});
}

TEST(HostDialog, CancelClosesWithoutWriting) {
    ScratchDirectory dir;
    ScriptedOperator op;
    HostDialog dialog(op);
    dialog.show();
    setField(dialog, "Display Name", "office");
    click(dialog, "Cancel");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(op.questions.empty());
    EXPECT_FALSE(std::filesystem::exists("Host.DAT"));
}
