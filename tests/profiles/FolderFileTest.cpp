#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "ProfileTesting.h"
#include "profiles/FolderFile.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

namespace {

const std::string kClean = "3\r\n0 0 A -1\r\n1 2 h -1\r\n0 0 B -1\r\n";

FolderTree treeWith(const char* folder) {
    FolderTree tree;
    tree.root().addChild(folder, FolderTree::Folder);
    return tree;
}

std::vector<std::string> filesHere() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator("."))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(FolderFile, SavesAndLoadsTheBareNameInTheCurrentDirectory) {
    ScratchDirectory dir;
    FolderFile file;
    EXPECT_EQ(file.load().nodeCount(), 1);
    EXPECT_TRUE(file.loadReport().isEmpty());
    EXPECT_FALSE(file.needsConsent());

    FolderTree tree;
    tree.root().addChild("A", FolderTree::Folder).addChild("h", FolderTree::Host);
    tree.root().addChild("B", FolderTree::Folder);
    const FolderFile::SaveResult saved = file.save(tree);
    EXPECT_TRUE(saved.saved);
    EXPECT_TRUE(saved.message.isEmpty());
    EXPECT_EQ(readFile(dir.path() + "/FOLDER.DAT"), kClean);
    EXPECT_EQ(FolderFile().load().toText(), kClean);

    // Saving rewrites the file whole, and a clean file needs no copy.
    ASSERT_TRUE(file.save(FolderTree()).saved);
    EXPECT_EQ(readFile("FOLDER.DAT"), "0\r\n");
    EXPECT_EQ(filesHere(), std::vector<std::string>{"FOLDER.DAT"});
}

TEST(FolderFile, KeepsTheDamagedFileAsItWasBeforeTheFirstRewrite) {
    ScratchDirectory dir;
    const std::string damaged = "4\r\n0 0 A -1\r\n1 7 odd -1\r\n2 2 h -1\r\n0 0 B -1\r\n";
    writeFile("FOLDER.DAT", damaged);
    writeFile("FOLDER.DAT.unread", "an older copy");

    FolderFile file;
    const FolderTree tree = file.load();
    EXPECT_EQ(tree.toText(), kClean);
    EXPECT_EQ(file.copyPath(), "FOLDER.DAT.unread2");
    EXPECT_EQ(
        file.loadReport(),
        "FOLDER.DAT has parts this program could not read as written:\n"
        "  line 3: the picture kind 7 is unknown; not read\n"
        "The tree shows everything that could be placed. Before the tree is first saved, the file as it is "
        "now is kept as FOLDER.DAT.unread2.");

    const FolderFile::SaveResult first = file.save(tree);
    EXPECT_TRUE(first.saved);
    EXPECT_TRUE(first.message.isEmpty());
    EXPECT_EQ(readFile("FOLDER.DAT.unread2"), damaged);
    EXPECT_EQ(readFile("FOLDER.DAT.unread"), "an older copy");
    EXPECT_EQ(readFile("FOLDER.DAT"), kClean);

    // Later saves do not copy again: the copy already holds the old file.
    ASSERT_TRUE(file.save(treeWith("C")).saved);
    EXPECT_EQ(readFile("FOLDER.DAT.unread2"), damaged);
    EXPECT_EQ(filesHere(),
              (std::vector<std::string>{"FOLDER.DAT", "FOLDER.DAT.unread", "FOLDER.DAT.unread2"}));
}

TEST(FolderFile, SaysWhereTheCopyWentWhenTheAnnouncedNameWasTakenMeanwhile) {
    ScratchDirectory dir;
    writeFile("FOLDER.DAT", "x\r\n0 0 A -1\r\n");
    FolderFile file;
    const FolderTree tree = file.load();
    EXPECT_EQ(file.copyPath(), "FOLDER.DAT.unread");
    writeFile("FOLDER.DAT.unread", "someone else's");

    const FolderFile::SaveResult saved = file.save(tree);
    EXPECT_TRUE(saved.saved);
    EXPECT_EQ(saved.message, "The file as it was is kept as FOLDER.DAT.unread2.");
    EXPECT_EQ(readFile("FOLDER.DAT.unread2"), "x\r\n0 0 A -1\r\n");
    EXPECT_EQ(readFile("FOLDER.DAT.unread"), "someone else's");
}

TEST(FolderFile, AFullDiskReportsTheFailureAndKeepsTheOldFile) {
    ScratchDirectory dir;
    writeFile("FOLDER.DAT", kClean);
    FolderFile file;
    file.load();
    FolderTree big;
    for (int i = 0; i < 100; ++i)
        big.root().addChild(QByteArray("folder") + QByteArray::number(i), FolderTree::Folder);

    FolderFile::SaveResult saved;
    {
        FileSizeLimit full(64);
        if (!full.active())
            GTEST_SKIP() << "the file size limit cannot be lowered here";
        saved = file.save(big);
    }
    EXPECT_FALSE(saved.saved);
    EXPECT_TRUE(saved.message.startsWith("FOLDER.DAT could not be saved (")) << saved.message.toStdString();
    EXPECT_TRUE(saved.message.endsWith("). The file keeps what it held before."))
        << saved.message.toStdString();
    EXPECT_EQ(readFile("FOLDER.DAT"), kClean);
    EXPECT_EQ(filesHere(), std::vector<std::string>{"FOLDER.DAT"});  // no half-written file left behind

    // Nor is a damaged file lost when its copy cannot be written.
    const std::string damaged = "3\r\n0 9 A -1\r\n" + std::string(200, ' ') + "\r\n0 0 B -1\r\n";
    writeFile("FOLDER.DAT", damaged);
    FolderFile again;
    const FolderTree tree = again.load();
    {
        FileSizeLimit full(64);
        saved = again.save(tree);
    }
    EXPECT_FALSE(saved.saved);
    EXPECT_TRUE(saved.message.startsWith("The file as it was could not be kept as FOLDER.DAT.unread ("));
    EXPECT_TRUE(saved.message.endsWith("), so FOLDER.DAT is not saved."));
    EXPECT_EQ(readFile("FOLDER.DAT"), damaged);
    EXPECT_EQ(filesHere(), std::vector<std::string>{"FOLDER.DAT"});
    ASSERT_TRUE(again.save(tree).saved);  // with room again the copy is made
    EXPECT_EQ(readFile("FOLDER.DAT.unread"), damaged);
}

TEST(FolderFile, AFifoIsNeitherWaitedOnNorReplaced) {
    ScratchDirectory dir;
    ASSERT_EQ(::mkfifo("FOLDER.DAT", 0600), 0);
    FolderFile file;
    EXPECT_EQ(file.load().nodeCount(), 1);
    EXPECT_EQ(
        file.loadReport(),
        "FOLDER.DAT cannot be read (it is not a regular file). The tree starts with the root alone. The tree "
        "on screen is not saved over it.");
    EXPECT_FALSE(file.needsConsent());
    const FolderFile::SaveResult saved = file.save(treeWith("A"), true);
    EXPECT_FALSE(saved.saved);
    EXPECT_EQ(saved.message, "FOLDER.DAT is not saved (it is not a regular file).");
    struct stat status {};
    ASSERT_EQ(::lstat("FOLDER.DAT", &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
}

TEST(FolderFile, ALinkToADeviceIsRefusedAndLeftAlone) {
    ScratchDirectory dir;
    ASSERT_EQ(::symlink("/dev/zero", "FOLDER.DAT"), 0);
    FolderFile file;
    EXPECT_EQ(file.load().nodeCount(), 1);
    EXPECT_TRUE(file.loadReport().startsWith("FOLDER.DAT cannot be read (it is not a regular file)."));
    EXPECT_FALSE(file.save(treeWith("A"), true).saved);
    EXPECT_EQ(std::filesystem::read_symlink("FOLDER.DAT"), "/dev/zero");

    std::filesystem::remove("FOLDER.DAT");
    std::filesystem::create_directory("FOLDER.DAT");
    EXPECT_EQ(file.load().nodeCount(), 1);
    EXPECT_FALSE(file.save(treeWith("A"), true).saved);
    EXPECT_TRUE(std::filesystem::is_directory("FOLDER.DAT"));
}

TEST(FolderFile, AFileTooLargeToReadIsReplacedOnlyWithConsent) {
    ScratchDirectory dir;
    writeFile("FOLDER.DAT", kClean);
    std::filesystem::resize_file("FOLDER.DAT", FolderFile::kMaxBytes + 1);  // sparse, no disk used
    FolderFile file;
    EXPECT_EQ(file.load().nodeCount(), 1);
    EXPECT_EQ(
        file.loadReport(),
        "FOLDER.DAT cannot be read (it is larger than 33554432 bytes). The tree starts with the root alone. "
        "It is not replaced without asking.");
    ASSERT_TRUE(file.needsConsent());
    EXPECT_EQ(
        file.consentQuestion(),
        "FOLDER.DAT could not be read (it is larger than 33554432 bytes). May I replace it with the tree on "
        "screen?");

    const FolderFile::SaveResult refused = file.save(treeWith("A"), false);
    EXPECT_FALSE(refused.saved);
    EXPECT_EQ(refused.message, "FOLDER.DAT is not saved.");
    EXPECT_EQ(std::filesystem::file_size("FOLDER.DAT"), FolderFile::kMaxBytes + 1);

    ASSERT_TRUE(file.save(treeWith("A"), true).saved);
    EXPECT_EQ(readFile("FOLDER.DAT"), "1\r\n0 0 A -1\r\n");
    EXPECT_FALSE(file.needsConsent());  // it now holds what this program wrote
    ASSERT_TRUE(file.save(treeWith("B")).saved);
}

TEST(FolderFile, SavingKeepsTheOldFilesPermissions) {
    ScratchDirectory dir;
    writeFile("FOLDER.DAT", kClean);
    ASSERT_EQ(::chmod("FOLDER.DAT", 0640), 0);
    FolderFile file;
    file.load();
    ASSERT_TRUE(file.save(treeWith("A")).saved);
    EXPECT_EQ(permissions("FOLDER.DAT"), 0640);
}
