#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QTest>
#include <filesystem>

#include "LoginTesting.h"
#include "ProfileTesting.h"
#include "profiles/FolderNameDialog.h"
#include "profiles/HostFile.h"
#include "profiles/LoginDialog.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

TEST_F(LoginScreenTest, OpensWithEmptyFieldsThePresetPortAndTheRootAloneWithoutFolderFile) {
    LoginDialog& dialog = open();

    EXPECT_EQ(dialog.windowTitle(), "Login");
    EXPECT_EQ(loginFields(dialog), (QStringList{"", "", "", "3306"}));
    EXPECT_EQ(field(dialog, "Password")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(widget<QGroupBox>(dialog, "Access Host Infomation")->title(), "Access Host Infomation");
    for (const char* name : {"Create Folder", "Delete Folder", "Edit Folder", "New Host", "Delete Host",
                             "Edit Host", "Connect", "Cancel"})
        EXPECT_NE(dialog.findChild<QPushButton*>(name), nullptr) << name;
    EXPECT_EQ(outline(dialog), "Host/0\n");
    EXPECT_FALSE(treeOf(dialog)->topLevelItem(0)->icon(0).isNull());
    EXPECT_FALSE(std::filesystem::exists("FOLDER.DAT"));
}

TEST_F(LoginScreenTest, ShowsTheSavedTreeSortedAndExpanded) {
    writeFile("FOLDER.DAT", "5\r\n0 2 lab -1\r\n0 0 B -1\r\n0 0 A -1\r\n3 2 office -1\r\n3 0 Inner -1\r\n");
    LoginDialog& dialog = open();

    EXPECT_EQ(outline(dialog), "Host/0\n  A/0\n    Inner/0\n    office/2\n  B/0\n  lab/2\n");
    EXPECT_TRUE(node(dialog, {})->isExpanded());
    EXPECT_TRUE(node(dialog, {"A"})->isExpanded());
    // Folder and host pictures differ.
    const QImage folder = node(dialog, {"A"})->icon(0).pixmap(16, 16).toImage();
    const QImage host = node(dialog, {"lab"})->icon(0).pixmap(16, 16).toImage();
    EXPECT_FALSE(folder.isNull());
    EXPECT_FALSE(host.isNull());
    EXPECT_NE(folder, host);
}

TEST_F(LoginScreenTest, SelectingAHostFillsTheFourFieldsFromItsFirstRecord) {
    writeFile("FOLDER.DAT", kFolders);
    HostFile hosts;
    hosts.append(hostRecord("office", "first.lan", "u1", "p1", "3301"));
    hosts.append(hostRecord("office", "second.lan", "u2", "p2", "3302"));
    hosts.append(hostRecord("lab", "lab.lan", "t", "pt", "3300"));
    LoginDialog& dialog = open();

    select(dialog, {"A", "office"});
    EXPECT_EQ(loginFields(dialog), (QStringList{"u1", "p1", "first.lan", "3301"}));
    EXPECT_EQ(dialog.values().user, "u1");
    EXPECT_EQ(dialog.values().password, "p1");
    EXPECT_EQ(dialog.values().host, "first.lan");
    EXPECT_EQ(dialog.values().port, "3301");

    // A folder changes nothing.
    select(dialog, {"B"});
    EXPECT_EQ(loginFields(dialog), (QStringList{"u1", "p1", "first.lan", "3301"}));

    select(dialog, {"lab"});
    EXPECT_EQ(loginFields(dialog), (QStringList{"t", "pt", "lab.lan", "3300"}));
}

TEST_F(LoginScreenTest, AHostWithoutRecordLeavesTheFieldsAsTheyAre) {
    writeFile("FOLDER.DAT", kFolders);
    LoginDialog& dialog = open();
    setField(dialog, "User name", "typed");

    select(dialog, {"lab"});  // no Host.DAT at all
    EXPECT_EQ(loginFields(dialog), (QStringList{"typed", "", "", "3306"}));

    HostFile().append(hostRecord("other", "o.lan", "o", "o", "1"));
    select(dialog, {"A", "office"});
    EXPECT_EQ(loginFields(dialog), (QStringList{"typed", "", "", "3306"}));
}

TEST_F(LoginScreenTest, DoubleClickOnAHostFillsAndConnects) {
    writeFile("FOLDER.DAT", kFolders);
    HostFile().append(hostRecord("lab", "lab.lan", "t", "pt", "3300"));
    LoginDialog& dialog = open();
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    // A folder only opens and closes.
    QTreeWidgetItem* folder = node(dialog, {"A"});
    doubleClick(dialog, folder);
    EXPECT_FALSE(folder->isExpanded());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);

    QTreeWidgetItem* host = node(dialog, {"lab"});
    doubleClick(dialog, host);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(loginFields(dialog), (QStringList{"t", "pt", "lab.lan", "3300"}));
}

TEST_F(LoginScreenTest, DoubleClickOnAHostWithABadPortStays) {
    writeFile("FOLDER.DAT", kFolders);
    HostFile().append(hostRecord("lab", "lab.lan", "t", "pt", "port"));
    LoginDialog& dialog = open();

    emit treeOf(dialog)->itemDoubleClicked(node(dialog, {"lab"}), 0);
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(op.messageTexts(), QStringList{"The port number must be a number from 1 to 65535."});
}

TEST_F(LoginScreenTest, ConnectRefusesAPortOutsideOneTo65535) {
    for (const QString& port : {QString(""), QString("0"), QString("65536"), QString("abc"), QString("-1"),
                                QString("33 06"), QString("0x10")}) {
        op.clear();
        LoginDialog dialog(op, port);
        dialog.show();
        click(dialog, "Connect");
        EXPECT_TRUE(dialog.isVisible()) << port.toStdString();
        EXPECT_NE(dialog.result(), QDialog::Accepted) << port.toStdString();
        ASSERT_EQ(op.messages.size(), 1u) << port.toStdString();
        EXPECT_EQ(op.messages[0].text, "The port number must be a number from 1 to 65535.");
        EXPECT_EQ(op.messages[0].caption, "VelkinSorvane");
    }
    for (const QString& port : {QString("1"), QString("3306"), QString("65535")}) {
        op.clear();
        LoginDialog dialog(op, port);
        click(dialog, "Connect");
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << port.toStdString();
        EXPECT_TRUE(op.messages.empty());
    }
}

TEST_F(LoginScreenTest, CancelRejects) {
    LoginDialog& dialog = open();
    dialog.show();
    click(dialog, "Cancel");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(LoginScreenTest, NewHostWritesTheRecordAddsTheNodeFillsTheFieldsAndSavesTheTree) {
    writeFile("FOLDER.DAT", kFolders);
    HostFile().append(hostRecord("lab", "lab.lan", "t", "pt", "3300"));
    LoginDialog& dialog = open();
    select(dialog, {"A"});

    op.onModal(fillHost("mail", "root", "pw", "mail.lan", "3307"));
    op.answer(true);
    click(dialog, "New Host");

    EXPECT_EQ(op.modalTitles, QStringList{"Create Host Infomation"});
    const std::string bytes = readFile("Host.DAT");
    ASSERT_EQ(bytes.size(), 2u * 1034u);
    EXPECT_EQ(bytes.substr(1034), hostRecord("mail", "mail.lan", "root", "pw", "3307").toBytes());
    EXPECT_EQ(outline(dialog), "Host/0\n  A/0\n    Inner/0\n    mail/2\n    office/2\n  B/0\n  lab/2\n");
    EXPECT_EQ(treeOf(dialog)->currentItem(), node(dialog, {"A", "mail"}));
    EXPECT_EQ(loginFields(dialog), (QStringList{"root", "pw", "mail.lan", "3307"}));
    EXPECT_EQ(readFile("FOLDER.DAT"),
              "6\r\n0 0 A -1\r\n1 0 Inner -1\r\n1 2 mail -1\r\n1 2 office -1\r\n0 0 B -1\r\n0 2 lab -1\r\n");
}

TEST_F(LoginScreenTest, NewHostWithTheNameOfAnEarlierHostShowsTheValuesJustTyped) {
    HostFile().append(hostRecord("lab", "old.lan", "old", "old", "1"));
    LoginDialog& dialog = open();
    select(dialog, {});

    op.onModal(fillHost("lab", "new", "newpw", "new.lan", "2"));
    op.answer(true);
    click(dialog, "New Host");

    EXPECT_EQ(loginFields(dialog), (QStringList{"new", "newpw", "new.lan", "2"}));
    EXPECT_EQ(readFile("Host.DAT").size(), 2u * 1034u);
    EXPECT_EQ(readFile("FOLDER.DAT"), "1\r\n0 2 lab -1\r\n");
}

TEST_F(LoginScreenTest, NewHostCancelledChangesNothing) {
    LoginDialog& dialog = open();
    select(dialog, {});

    op.onModal(typeThenCancel("Display Name", "mail"));
    click(dialog, "New Host");

    EXPECT_EQ(op.modalTitles.size(), 1);
    EXPECT_EQ(outline(dialog), "Host/0\n");
    EXPECT_FALSE(std::filesystem::exists("Host.DAT"));
    EXPECT_FALSE(std::filesystem::exists("FOLDER.DAT"));
}

TEST_F(LoginScreenTest, EditHostRenamesTheNodeRewritesTheRecordAndFillsTheFields) {
    writeFile("FOLDER.DAT", kFolders);
    HostFile hosts;
    hosts.append(hostRecord("lab", "lab.lan", "t", "pt", "3300"));
    hosts.append(hostRecord("office", "office.lan", "u", "pu", "3301"));
    LoginDialog& dialog = open();
    select(dialog, {"A", "office"});

    QStringList shown;
    op.onModal([&shown](QDialog& dialog) {
        shown << dialog.windowTitle() << field(dialog, "Display Name")->text()
              << field(dialog, "Host Name")->text() << field(dialog, "User Name")->text()
              << field(dialog, "Password")->text() << field(dialog, "Port No")->text();
        return fillHostDialog(dialog, "Zoffice", "boss", "newpw", "hq.lan", "3310");
    });
    op.answer(true);
    click(dialog, "Edit Host");

    EXPECT_EQ(shown, (QStringList{"Host edit", "office", "office.lan", "u", "pu", "3301"}));
    const std::string bytes = readFile("Host.DAT");
    ASSERT_EQ(bytes.size(), 2u * 1034u);
    EXPECT_EQ(bytes.substr(1034), hostRecord("Zoffice", "hq.lan", "boss", "newpw", "3310").toBytes());
    // The renamed host moves to its sorted place and stays selected.
    EXPECT_EQ(outline(dialog), "Host/0\n  A/0\n    Inner/0\n    Zoffice/2\n  B/0\n  lab/2\n");
    EXPECT_EQ(treeOf(dialog)->currentItem(), node(dialog, {"A", "Zoffice"}));
    EXPECT_EQ(loginFields(dialog), (QStringList{"boss", "newpw", "hq.lan", "3310"}));
    EXPECT_EQ(readFile("FOLDER.DAT"),
              "5\r\n0 0 A -1\r\n1 0 Inner -1\r\n1 2 Zoffice -1\r\n0 0 B -1\r\n0 2 lab -1\r\n");
}

TEST_F(LoginScreenTest, EditHostCancelledChangesNothing) {
    writeFile("FOLDER.DAT", kFolders);
    HostFile().append(hostRecord("lab", "lab.lan", "t", "pt", "3300"));
    const std::string hostsBefore = readFile("Host.DAT");
    LoginDialog& dialog = open();
    select(dialog, {"lab"});

    op.onModal([](QDialog&) { return QDialog::Rejected; });
    click(dialog, "Edit Host");

    EXPECT_EQ(op.modalTitles, QStringList{"Host edit"});
    EXPECT_EQ(node(dialog, {"lab"})->text(0), "lab");
    EXPECT_EQ(readFile("Host.DAT"), hostsBefore);
    EXPECT_EQ(readFile("FOLDER.DAT"), kFolders);
}

TEST_F(LoginScreenTest, DeleteHostAfterYesMarksTheRecordDeadAndRemovesTheNode) {
    writeFile("FOLDER.DAT", kFolders);
    HostFile hosts;
    hosts.append(hostRecord("office", "first.lan", "u1", "p1", "3301"));
    hosts.append(hostRecord("lab", "lab.lan", "t", "pt", "3300"));
    hosts.append(hostRecord("office", "second.lan", "u2", "p2", "3302"));
    LoginDialog& dialog = open();
    select(dialog, {"A", "office"});

    op.answer(true);
    click(dialog, "Delete Host");

    ASSERT_EQ(op.questions.size(), 1u);
    EXPECT_EQ(op.questions[0].text, "May I delete truly?");
    EXPECT_EQ(readFile("Host.DAT").size(), 3u * 1034u);
    EXPECT_EQ(hosts.liveRecords(),
              (std::vector<HostRecord>{hostRecord("lab", "lab.lan", "t", "pt", "3300"),
                                       hostRecord("office", "second.lan", "u2", "p2", "3302")}));
    EXPECT_EQ(HostRecord::fromBytes(readFile("Host.DAT").substr(0, 1034)).hostName, "*");
    EXPECT_EQ(outline(dialog), "Host/0\n  A/0\n    Inner/0\n  B/0\n  lab/2\n");
    EXPECT_EQ(readFile("FOLDER.DAT"), "4\r\n0 0 A -1\r\n1 0 Inner -1\r\n0 0 B -1\r\n0 2 lab -1\r\n");
}

TEST_F(LoginScreenTest, DeleteHostAfterNoKeepsEverything) {
    writeFile("FOLDER.DAT", kFolders);
    HostFile().append(hostRecord("lab", "lab.lan", "t", "pt", "3300"));
    const std::string hostsBefore = readFile("Host.DAT");
    LoginDialog& dialog = open();
    select(dialog, {"lab"});

    op.answer(false);
    click(dialog, "Delete Host");

    EXPECT_EQ(op.questions.size(), 1u);
    EXPECT_NE(node(dialog, {"lab"}), nullptr);
    EXPECT_EQ(readFile("Host.DAT"), hostsBefore);
    EXPECT_EQ(readFile("FOLDER.DAT"), kFolders);
}

TEST_F(LoginScreenTest, DeleteHostWithoutHostDatRemovesTheNodeOnly) {
    writeFile("FOLDER.DAT", kFolders);
    LoginDialog& dialog = open();
    select(dialog, {"lab"});

    op.answer(true);
    click(dialog, "Delete Host");

    EXPECT_EQ(node(dialog, {"lab"}), nullptr);
    EXPECT_FALSE(std::filesystem::exists("Host.DAT"));
    EXPECT_EQ(readFile("FOLDER.DAT"), "4\r\n0 0 A -1\r\n1 0 Inner -1\r\n1 2 office -1\r\n0 0 B -1\r\n");
}

TEST_F(LoginScreenTest, CreateFolderCancelledAddsNothing) {
    LoginDialog& dialog = open();
    select(dialog, {});

    op.onModal(typeThenCancel("Folder Name", "ignored"));
    click(dialog, "Create Folder");

    EXPECT_EQ(op.modalTitles, QStringList{"Create Folder"});
    EXPECT_EQ(outline(dialog), "Host/0\n");
    EXPECT_FALSE(std::filesystem::exists("FOLDER.DAT"));
}

TEST_F(LoginScreenTest, CreateFolderStartsEmptyAddsTheFolderSortedSelectedAndSaved) {
    writeFile("FOLDER.DAT", kFolders);
    LoginDialog& dialog = open();
    dialog.show();
    select(dialog, {"A"});

    QString startName = "not seen";
    op.onModal([&startName](QDialog& dialog) {
        startName = field(dialog, "Folder Name")->text();
        return nameFolder("Mid")(dialog);
    });
    click(dialog, "Create Folder");

    EXPECT_EQ(startName, "");
    EXPECT_EQ(outline(dialog), "Host/0\n  A/0\n    Inner/0\n    Mid/0\n    office/2\n  B/0\n  lab/2\n");
    EXPECT_EQ(treeOf(dialog)->currentItem(), node(dialog, {"A", "Mid"}));
    EXPECT_EQ(readFile("FOLDER.DAT"),
              "6\r\n0 0 A -1\r\n1 0 Inner -1\r\n1 0 Mid -1\r\n1 2 office -1\r\n0 0 B -1\r\n0 2 lab -1\r\n");
    EXPECT_NE(inPlaceEditor(dialog), nullptr);
}

TEST_F(LoginScreenTest, TheInPlaceEditAfterCreateFolderRenamesResortsAndSaves) {
    writeFile("FOLDER.DAT", kFolders);
    LoginDialog& dialog = open();
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    select(dialog, {});

    op.onModal(nameFolder("Zulu"));
    click(dialog, "Create Folder");
    EXPECT_EQ(outline(dialog), "Host/0\n  A/0\n    Inner/0\n    office/2\n  B/0\n  lab/2\n  Zulu/0\n");
    finishInPlaceEdit(dialog, "Aa");

    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(outline(dialog), "Host/0\n  A/0\n    Inner/0\n    office/2\n  Aa/0\n  B/0\n  lab/2\n");
    EXPECT_EQ(readFile("FOLDER.DAT"),
              "6\r\n0 0 A -1\r\n1 0 Inner -1\r\n1 2 office -1\r\n0 0 Aa -1\r\n0 0 B -1\r\n0 2 lab -1\r\n");
    // Return ended the edit only; the login is still open.
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
}

TEST_F(LoginScreenTest, TheInPlaceEditRefusesABadLabelAndRestoresTheOldOne) {
    LoginDialog& dialog = open();
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    select(dialog, {});

    op.onModal(nameFolder("Keep"));
    click(dialog, "Create Folder");
    finishInPlaceEdit(dialog, "two words");

    EXPECT_EQ(op.messageTexts(), QStringList{kRefusal});
    EXPECT_EQ(outline(dialog), "Host/0\n  Keep/0\n");
    EXPECT_EQ(readFile("FOLDER.DAT"), "1\r\n0 0 Keep -1\r\n");
}

TEST_F(LoginScreenTest, CreateFolderRefusesABadNameAndAddsNothing) {
    LoginDialog& dialog = open();
    select(dialog, {});

    // The name dialog refuses and stays open; the person then gives up.
    op.onModal([](QDialog& dialog) {
        setField(dialog, "Folder Name", "two words");
        click(dialog, "Create");
        EXPECT_NE(dialog.result(), QDialog::Accepted);
        click(dialog, "Cancel");
        return dialog.result();
    });
    click(dialog, "Create Folder");
    EXPECT_EQ(op.messageTexts(), QStringList{kRefusal});

    // A name dialog closed with OK some other way is checked as well.
    op.clear();
    op.onModal([](QDialog& dialog) {
        setField(dialog, "Folder Name", QString(20, 'x'));
        return int(QDialog::Accepted);
    });
    click(dialog, "Create Folder");
    EXPECT_EQ(op.messageTexts(), QStringList{kRefusal});

    EXPECT_EQ(outline(dialog), "Host/0\n");
    EXPECT_FALSE(std::filesystem::exists("FOLDER.DAT"));
}

TEST_F(LoginScreenTest, DeleteFolderRemovesTheFolderWithEverythingUnderIt) {
    writeFile("FOLDER.DAT", kFolders);
    LoginDialog& dialog = open();
    select(dialog, {"A"});

    op.answer(true);
    click(dialog, "Delete Folder");

    ASSERT_EQ(op.questions.size(), 1u);
    EXPECT_EQ(op.questions[0].text, "May I delete truly?");
    EXPECT_EQ(outline(dialog), "Host/0\n  B/0\n  lab/2\n");
    EXPECT_EQ(readFile("FOLDER.DAT"), "2\r\n0 0 B -1\r\n0 2 lab -1\r\n");
}

TEST_F(LoginScreenTest, DeleteFolderOnTheRootEmptiesItButKeepsIt) {
    writeFile("FOLDER.DAT", kFolders);
    LoginDialog& dialog = open();
    select(dialog, {});

    op.answer(true);
    click(dialog, "Delete Folder");

    EXPECT_EQ(outline(dialog), "Host/0\n");
    EXPECT_EQ(readFile("FOLDER.DAT"), "0\r\n");

    // The root still takes new folders.
    select(dialog, {});
    op.onModal(nameFolder("Again"));
    click(dialog, "Create Folder");
    EXPECT_EQ(outline(dialog), "Host/0\n  Again/0\n");
}

TEST_F(LoginScreenTest, DeleteFolderAfterNoOrOnAHostRemovesNothing) {
    writeFile("FOLDER.DAT", kFolders);
    LoginDialog& dialog = open();
    const std::string before = outline(dialog);

    select(dialog, {"A"});
    op.answer(false);
    click(dialog, "Delete Folder");
    EXPECT_EQ(outline(dialog), before);

    select(dialog, {"lab"});
    op.answer(true);
    click(dialog, "Delete Folder");
    EXPECT_EQ(op.questions.size(), 2u);
    EXPECT_EQ(outline(dialog), before);
    EXPECT_EQ(readFile("FOLDER.DAT"), kFolders);
}

TEST_F(LoginScreenTest, EditFolderRenamesTheFolderKeepsItsPlaceSortedAndSaves) {
    writeFile("FOLDER.DAT", kFolders);
    LoginDialog& dialog = open();
    select(dialog, {"A"});

    QString startName;
    op.onModal([&startName](QDialog& dialog) {
        startName = field(dialog, "Folder Name")->text();
        return nameFolder("C")(dialog);
    });
    click(dialog, "Edit Folder");

    EXPECT_EQ(startName, "A");
    EXPECT_EQ(op.modalTitles, QStringList{"Create Folder"});
    EXPECT_EQ(outline(dialog), "Host/0\n  B/0\n  C/0\n    Inner/0\n    office/2\n  lab/2\n");
    EXPECT_EQ(readFile("FOLDER.DAT"),
              "5\r\n0 0 B -1\r\n0 0 C -1\r\n2 0 Inner -1\r\n2 2 office -1\r\n0 2 lab -1\r\n");
}

TEST_F(LoginScreenTest, EditFolderRefusesABadNameAndKeepsTheOldOne) {
    writeFile("FOLDER.DAT", kFolders);
    LoginDialog& dialog = open();
    select(dialog, {"B"});

    op.onModal([](QDialog& dialog) {
        setField(dialog, "Folder Name", "b b");
        return int(QDialog::Accepted);
    });
    click(dialog, "Edit Folder");

    EXPECT_EQ(op.messageTexts(), QStringList{kRefusal});
    EXPECT_NE(node(dialog, {"B"}), nullptr);
    EXPECT_EQ(readFile("FOLDER.DAT"), kFolders);
}

TEST_F(LoginScreenTest, ARenamedRootIsHostAgainAtTheNextLogin) {
    writeFile("FOLDER.DAT", kFolders);
    {
        LoginDialog dialog(op, "3306");
        select(dialog, {});
        op.onModal(nameFolder("Servers"));
        click(dialog, "Edit Folder");
        EXPECT_EQ(treeOf(dialog)->topLevelItem(0)->text(0), "Servers");
        EXPECT_EQ(readFile("FOLDER.DAT"), kFolders);
    }
    LoginDialog again(op, "3306");
    EXPECT_EQ(treeOf(again)->topLevelItem(0)->text(0), "Host");
}

TEST_F(LoginScreenTest, ButtonsWhoseSelectionIsMissingDoNothing) {
    writeFile("FOLDER.DAT", kFolders);
    HostFile().append(hostRecord("lab", "lab.lan", "t", "pt", "3300"));
    const std::string hostsBefore = readFile("Host.DAT");
    op.defaultAnswer = true;
    LoginDialog& dialog = open();
    const std::string before = outline(dialog);

    treeOf(dialog)->setCurrentItem(nullptr);
    for (const char* button :
         {"Create Folder", "Delete Folder", "Edit Folder", "New Host", "Delete Host", "Edit Host"})
        click(dialog, button);

    select(dialog, {"lab"});
    for (const char* button : {"Create Folder", "Edit Folder", "New Host"})
        click(dialog, button);

    select(dialog, {"A"});
    for (const char* button : {"Delete Host", "Edit Host"})
        click(dialog, button);
    select(dialog, {});
    for (const char* button : {"Delete Host", "Edit Host"})
        click(dialog, button);

    EXPECT_TRUE(op.modalTitles.isEmpty());
    EXPECT_TRUE(op.questions.empty());
    EXPECT_EQ(outline(dialog), before);
    EXPECT_EQ(readFile("FOLDER.DAT"), kFolders);
    EXPECT_EQ(readFile("Host.DAT"), hostsBefore);
}

TEST_F(LoginScreenTest, NewHostWorksInAFolderCreatedJustBefore) {
    LoginDialog& dialog = open();
    select(dialog, {});
    op.onModal(nameFolder("A"));
    click(dialog, "Create Folder");
    op.onModal(nameFolder("B"));
    select(dialog, {});
    click(dialog, "Create Folder");

    select(dialog, {"A"});
    op.onModal(fillHost("h", "u", "p", "h.lan", "3306"));
    op.answer(true);
    click(dialog, "New Host");

    EXPECT_EQ(readFile("FOLDER.DAT"), "3\r\n0 0 A -1\r\n1 2 h -1\r\n0 0 B -1\r\n");
    LoginDialog again(op, "3306");
    EXPECT_EQ(outline(again), "Host/0\n  A/0\n    h/2\n  B/0\n");
    select(again, {"A", "h"});
    EXPECT_EQ(loginFields(again), (QStringList{"u", "p", "h.lan", "3306"}));
}

using LoginPromptTest = LoginScreenTest;

TEST_F(LoginPromptTest, RunsTheLoginWithThePresetPortAndReturnsTheValues) {
    LoginPrompt prompt = makeLoginPrompt(op, nullptr);

    QString presetSeen;
    op.onModal([&presetSeen](QDialog& dialog) {
        presetSeen = field(dialog, "Port")->text();
        setField(dialog, "User name", "root");
        setField(dialog, "Password", "pw");
        setField(dialog, "Host", "127.0.0.1");
        click(dialog, "Connect");
        return dialog.result();
    });
    const std::optional<LoginValues> values = prompt("3306", QString());

    EXPECT_EQ(op.modalTitles, QStringList{"Login"});
    EXPECT_EQ(presetSeen, "3306");
    ASSERT_TRUE(values.has_value());
    EXPECT_EQ(values->user, "root");
    EXPECT_EQ(values->password, "pw");
    EXPECT_EQ(values->host, "127.0.0.1");
    EXPECT_EQ(values->port, "3306");
}

TEST_F(LoginPromptTest, ReturnsNothingWhenTheLoginIsCancelled) {
    LoginPrompt prompt = makeLoginPrompt(op, nullptr);

    op.onModal(typeThenCancel("User name", "root"));
    EXPECT_EQ(prompt("3306", QString()), std::nullopt);

    // With no answer scripted the dialog is not accepted either.
    EXPECT_EQ(prompt("3306", QString()), std::nullopt);
}
