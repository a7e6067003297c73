#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "session/PrivateFile.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

namespace {

int permissions(const char* path) {
    struct stat status {};
    return ::stat(path, &status) == 0 ? static_cast<int>(status.st_mode & 07777) : -1;
}

std::string contents(const char* path) {
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

bool writeThrough(PrivateFileMode mode, const char* path, const std::string& text) {
    std::FILE* file = openPrivateFile(path, mode);
    if (!file)
        return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

TEST(PrivateFile, CreatesLogsReadableByTheirOwnerAloneWhateverTheUmask) {
    ScratchDirectory dir;
    const mode_t previous = ::umask(0);
    ASSERT_TRUE(writeThrough(PrivateFileMode::Truncate, "rep_table.log", "INSERT INTO t VALUES (1)\r\n"));
    ASSERT_TRUE(writeThrough(PrivateFileMode::Append, "Backup.log", "1 db.t /tmp root localhost\r\n"));
    ::umask(previous);
    EXPECT_EQ(permissions("rep_table.log"), 0600);
    EXPECT_EQ(permissions("Backup.log"), 0600);
    EXPECT_EQ(contents("rep_table.log"), "INSERT INTO t VALUES (1)\r\n");
}

TEST(PrivateFile, MakesAnExistingLogPrivateThenTruncatesOrAppends) {
    ScratchDirectory dir;
    std::ofstream("rep_other_server.log") << "old rows\n";
    std::ofstream("restore.log") << "first\n";
    ASSERT_EQ(::chmod("rep_other_server.log", 0644), 0);
    ASSERT_EQ(::chmod("restore.log", 0666), 0);

    ASSERT_TRUE(writeThrough(PrivateFileMode::Truncate, "rep_other_server.log", "new\n"));
    ASSERT_TRUE(writeThrough(PrivateFileMode::Append, "restore.log", "second\n"));
    EXPECT_EQ(contents("rep_other_server.log"), "new\n");
    EXPECT_EQ(contents("restore.log"), "first\nsecond\n");
    EXPECT_EQ(permissions("rep_other_server.log"), 0600);
    EXPECT_EQ(permissions("restore.log"), 0600);
}

TEST(PrivateFile, NeverWaitsOnAFifoNorWritesToADeviceOrFolder) {
    ScratchDirectory dir;
    ASSERT_EQ(::mkfifo("rep_table.log", 0600), 0);
    EXPECT_EQ(openPrivateFile("rep_table.log", PrivateFileMode::Truncate), nullptr);
    ASSERT_EQ(::symlink("/dev/null", "Backup.log"), 0);
    EXPECT_EQ(openPrivateFile("Backup.log", PrivateFileMode::Append), nullptr);
    EXPECT_EQ(errno, EINVAL);
    std::filesystem::create_directory("restore.log");
    EXPECT_EQ(openPrivateFile("restore.log", PrivateFileMode::Append), nullptr);
    EXPECT_EQ(permissions("/dev/null"), 0666);
}
