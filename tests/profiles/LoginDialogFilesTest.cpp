#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <QApplication>
#include <QTest>
#include <filesystem>

#include "LoginTesting.h"
#include "ProfileTesting.h"
#include "profiles/FolderFile.h"
#include "profiles/HostFile.h"
#include "profiles/LoginDialog.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

TEST(LoginDialog, ADamagedFolderFileShowsEverythingPlacedAndLosesNothingOnSave) {
    struct Case {
        const char* name;
        std::string text;
        std::string outline;
        const char* problem;
    };
    const std::string tail = "1 2 h -1\r\n0 0 B -1\r\n";
    const std::string aHB = "Host/0\n  A/0\n    h/2\n  B/0\n";
    const Case cases[] = {
        {"byte-order mark",
         "\xEF\xBB\xBF"
         "3\r\n0 0 A -1\r\n" +
             tail,
         aHB, "byte-order mark"},
        {"CR alone", "3\r0 0 A -1\r1 2 h -1\r0 0 B -1\r", aHB, "CR alone"},
        {"unknown picture kind", "4\r\n0 0 A -1\r\n1 7 odd -1\r\n2 2 h -1\r\n0 0 B -1\r\n", aHB, "kind 7"},
        {"NUL byte", std::string("3\r\n0 0 A\0x -1\r\n", 15) + tail, "Host/0\n  B/0\n  h/2\n", "control"},
        {"negative count", "-3\r\n0 0 A -1\r\n" + tail, aHB, "node count"},
        {"overflowing count", "4294967299\r\n0 0 A -1\r\n" + tail, aHB, "node count"},
        {"parent is a host", "4\r\n0 0 A -1\r\n1 2 h -1\r\n2 2 g -1\r\n0 0 B -1\r\n",
         "Host/0\n  A/0\n    g/2\n    h/2\n  B/0\n", "is a host"},
        {"parent is itself", "3\r\n0 0 A -1\r\n2 2 h -1\r\n0 0 B -1\r\n", "Host/0\n  A/0\n  B/0\n  h/2\n",
         "not an earlier node"},
        {"parent ahead", "3\r\n0 0 A -1\r\n3 2 h -1\r\n0 0 B -1\r\n", "Host/0\n  A/0\n  B/0\n  h/2\n",
         "not an earlier node"},
    };
    for (const Case& c : cases) {
        ScratchDirectory dir;
        writeFile("FOLDER.DAT", c.text);
        ScriptedOperator op;
        {
            LoginDialog dialog(op, "3306");
            EXPECT_EQ(outline(dialog), c.outline) << c.name;
            ASSERT_EQ(op.messages.size(), 1u) << c.name;
            const QString told = op.messages[0].text;
            EXPECT_TRUE(told.startsWith("FOLDER.DAT has parts this program could not read as written:\n"))
                << c.name;
            EXPECT_TRUE(told.contains(c.problem)) << c.name << ": " << told.toStdString();
            EXPECT_TRUE(told.endsWith("the file as it is now is kept as FOLDER.DAT.unread.")) << c.name;
            EXPECT_EQ(op.messages[0].icon, MessageIcon::Warning);

            // Any change saves the tree: the old file is kept beside it first.
            select(dialog, {});
            op.onModal(nameFolder("Z"));
            click(dialog, "Create Folder");
        }
        EXPECT_EQ(readFile("FOLDER.DAT.unread"), c.text) << c.name;
        op.clear();
        LoginDialog again(op, "3306");
        EXPECT_EQ(outline(again), c.outline + "  Z/0\n") << c.name;
        EXPECT_TRUE(op.messages.empty()) << c.name;
    }
}

TEST_F(LoginScreenTest, AFolderFileThatIsNotARegularFileNeitherHangsNorIsReplaced) {
    ASSERT_EQ(::mkfifo("FOLDER.DAT", 0600), 0);
    ASSERT_EQ(::symlink("/dev/zero", "Host.DAT"), 0);
    LoginDialog& dialog = open();
    EXPECT_EQ(outline(dialog), "Host/0\n");
    EXPECT_EQ(
        op.messageTexts(),
        (QStringList{"FOLDER.DAT cannot be read (it is not a regular file). The tree starts with the root "
                     "alone. The tree on screen is not saved over it.",
                     "Host.DAT cannot be read (it is not a regular file). Saved hosts cannot fill the login "
                     "fields."}));
    op.clear();
    select(dialog, {});
    op.onModal(nameFolder("Z"));
    click(dialog, "Create Folder");
    EXPECT_EQ(op.messageTexts(), QStringList{"FOLDER.DAT is not saved (it is not a regular file)."});
    EXPECT_TRUE(op.questions.empty());
    struct stat status {};
    ASSERT_EQ(::lstat("FOLDER.DAT", &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
}

TEST_F(LoginScreenTest, AFolderFileThatCannotBeReadIsReplacedOnlyAfterYes) {
    writeFile("FOLDER.DAT", "1\r\n0 0 A -1\r\n");
    std::filesystem::resize_file("FOLDER.DAT", FolderFile::kMaxBytes + 1);
    LoginDialog& dialog = open();
    ASSERT_EQ(op.messages.size(), 1u);
    op.clear();
    select(dialog, {});
    op.onModal(nameFolder("Z"));
    op.answer(false);
    click(dialog, "Create Folder");
    ASSERT_EQ(op.questions.size(), 1u);
    EXPECT_EQ(op.questions[0].text,
              "FOLDER.DAT could not be read (it is larger than 33554432 bytes). May I replace "
              "it with the tree on screen?");
    EXPECT_EQ(op.messageTexts(), QStringList{"FOLDER.DAT is not saved."});
    EXPECT_EQ(std::filesystem::file_size("FOLDER.DAT"), FolderFile::kMaxBytes + 1);

    op.clear();
    select(dialog, {});
    op.onModal(nameFolder("Y"));
    op.answer(true);
    click(dialog, "Create Folder");
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(readFile("FOLDER.DAT"), "2\r\n0 0 Y -1\r\n0 0 Z -1\r\n");
}

TEST_F(LoginScreenTest, AFullDiskSaveSaysSoAndKeepsTheOldFile) {
    writeFile("FOLDER.DAT", kFolders);
    LoginDialog& dialog = open();
    select(dialog, {});
    op.onModal(nameFolder("Z"));
    {
        FileSizeLimit full(16);
        if (!full.active())
            GTEST_SKIP() << "the file size limit cannot be lowered here";
        click(dialog, "Create Folder");
    }
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text.toStdString(),
              "FOLDER.DAT could not be saved (File too large). The file keeps what it held before.");
    EXPECT_EQ(op.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(readFile("FOLDER.DAT"), kFolders);
}

TEST_F(LoginScreenTest, LabelsThatAreNotUtf8AreShownSelectableAndSavedUnchanged) {
    const std::string folders = "2\r\n0 0 Caf\xE9 -1\r\n1 2 M\xFCnchen -1\r\n";
    writeFile("FOLDER.DAT", folders);
    ASSERT_TRUE(HostFile().append(hostRecord("M\xFCnchen", "db.m.lan", "j\xF6rg", "pw", "3310")));
    LoginDialog& dialog = open();
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(outline(dialog), "Host/0\n  Café/0\n    München/2\n");
    select(dialog, {QString::fromUtf8("Café"), QString::fromUtf8("München")});
    EXPECT_EQ(field(dialog, "Host")->text(), "db.m.lan");
    EXPECT_EQ(field(dialog, "Port")->text(), "3310");

    // Editing the host without changing a field writes its bytes back as they were.
    const std::string record = readFile("Host.DAT");
    op.onModal([](QDialog& hostDialog) {
        click(hostDialog, "Create");
        return hostDialog.result();
    });
    op.answer(true);
    click(dialog, "Edit Host");
    EXPECT_EQ(readFile("Host.DAT"), record);
    EXPECT_EQ(readFile("FOLDER.DAT"), folders);
}

TEST_F(LoginScreenTest, AHostFileOthersCanReadIsMadePrivateAndToldOnce) {
    ASSERT_TRUE(HostFile().append(hostRecord("lab", "10.0.0.7", "u", "p", "3307")));
    ASSERT_EQ(::chmod("Host.DAT", 0644), 0);
    { LoginDialog dialog(op, "3306"); }
    EXPECT_EQ(op.messageTexts(),
              QStringList{"Host.DAT could be read by other users of this computer, and it holds "
                          "passwords in plain text. It is now readable by you alone."});
    EXPECT_EQ(permissions("Host.DAT"), 0600);
    op.clear();
    LoginDialog again(op, "3306");
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(LoginScreenTest, AHostFileEndingInAPartialRecordIsReported) {
    writeFile("Host.DAT", hostRecord("lab", "10.0.0.7", "u", "p", "3307").toBytes() + std::string(10, 'x'));
    ASSERT_EQ(::chmod("Host.DAT", 0600), 0);
    open();
    EXPECT_EQ(op.messageTexts(),
              QStringList{
                  "Host.DAT ends in 10 bytes that are not a whole host record. They are kept as they are."});
}

TEST_F(LoginScreenTest, DeepAndWideTreesLoadWhole) {
    std::string deep = "100000\r\n";
    for (int i = 0; i < 100000; ++i)
        deep += std::to_string(i) + " 0 f" + std::to_string(i) + " -1\r\n";
    writeFile("FOLDER.DAT", deep);
    const auto countItems = [](QTreeWidgetItem* root) {
        int count = 0;
        std::vector<QTreeWidgetItem*> pending{root};
        while (!pending.empty()) {
            QTreeWidgetItem* item = pending.back();
            pending.pop_back();
            ++count;
            for (int i = 0; i < item->childCount(); ++i)
                pending.push_back(item->child(i));
        }
        return count;
    };
    {
        LoginDialog dialog(op, "3306");
        EXPECT_EQ(countItems(treeOf(dialog)->topLevelItem(0)), 100001);
        ASSERT_EQ(op.messages.size(), 1u);
        EXPECT_TRUE(op.messages[0].text.contains("nested deeper than 200 folders"));
        EXPECT_TRUE(op.messages[0].text.contains("and 99790 more"));
    }

    std::string wide = "200000\r\n";
    char label[16];
    for (int i = 0; i < 200000; ++i) {
        std::snprintf(label, sizeof label, "h%07d", i);
        wide += std::string("0 2 ") + label + " -1\r\n";
    }
    writeFile("FOLDER.DAT", wide);
    op.clear();
    LoginDialog dialog(op, "3306");
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(treeOf(dialog)->topLevelItem(0)->childCount(), 200000);
    select(dialog, {});
    op.onModal(nameFolder("zz"));
    click(dialog, "Create Folder");
    EXPECT_EQ(readFile("FOLDER.DAT"), "200001" + wide.substr(6) + "0 0 zz -1\r\n");
}
