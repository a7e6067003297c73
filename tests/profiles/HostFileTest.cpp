#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "ProfileTesting.h"
#include "profiles/HostFile.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

namespace {

const HostRecord kOffice = hostRecord("office", "db.office.lan", "admin", "pw1", "3306");
const HostRecord kLab = hostRecord("lab", "10.0.0.7", "tester", "pw2", "3307");
const HostRecord kOfficeAgain = hostRecord("office", "other.lan", "someone", "pw3", "3308");

std::string recordAt(const std::string& bytes, std::size_t index) {
    return bytes.substr(index * 1034, 1034);
}

}  // namespace

TEST(HostFile, AppendsWholeRecordsInOrderToTheBareNameInTheCurrentDirectory) {
    ScratchDirectory dir;
    HostFile hosts;
    ASSERT_TRUE(hosts.append(kOffice));
    ASSERT_TRUE(hosts.append(kLab));

    const std::string bytes = readFile(dir.path() + "/Host.DAT");
    ASSERT_EQ(bytes.size(), 2u * 1034u);
    EXPECT_EQ(recordAt(bytes, 0), kOffice.toBytes());
    EXPECT_EQ(recordAt(bytes, 1), kLab.toBytes());
    // The new host is the last record: its port at 1034 + 1024 and its '1' in the file's last byte.
    EXPECT_EQ(bytes.substr(1034 + 1024, 9), std::string("3307\0\0\0\0\0", 9));
    EXPECT_EQ(bytes.back(), '1');
    EXPECT_EQ(bytes[1033], '1');
}

TEST(HostFile, CreatesTheFileReadableByItsOwnerOnly) {
    ScratchDirectory dir;
    ASSERT_TRUE(HostFile().append(kOffice));
    struct stat status {};
    ASSERT_EQ(::stat("Host.DAT", &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
}

TEST(HostFile, LookupsFindTheFirstOfTwoHostsWithOneDisplayName) {
    ScratchDirectory dir;
    HostFile hosts;
    hosts.append(kOffice);
    hosts.append(kLab);
    hosts.append(kOfficeAgain);

    EXPECT_EQ(hosts.findFirst("office"), kOffice);
    EXPECT_EQ(hosts.findFirst("lab"), kLab);
    EXPECT_EQ(hosts.findFirst("nowhere"), std::nullopt);
    EXPECT_EQ(hosts.findFirst("Office"), std::nullopt);
    EXPECT_EQ(hosts.liveRecords(), (std::vector<HostRecord>{kOffice, kLab, kOfficeAgain}));
}

TEST(HostFile, OverwritesTheFirstMatchingRecordInPlace) {
    ScratchDirectory dir;
    HostFile hosts;
    hosts.append(kLab);
    hosts.append(kOffice);
    hosts.append(kOfficeAgain);
    const std::string before = readFile("Host.DAT");

    const HostRecord renamed = hostRecord("hq", "hq.lan", "boss", "pw9", "3310");
    ASSERT_TRUE(hosts.overwriteFirst("office", renamed));

    const std::string after = readFile("Host.DAT");
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(recordAt(after, 0), recordAt(before, 0));
    EXPECT_EQ(recordAt(after, 1), renamed.toBytes());
    EXPECT_EQ(recordAt(after, 2), recordAt(before, 2));
    EXPECT_EQ(hosts.findFirst("office"), kOfficeAgain);
}

TEST(HostFile, OverwritingAnUnknownNameWritesNothing) {
    ScratchDirectory dir;
    HostFile hosts;
    EXPECT_FALSE(hosts.overwriteFirst("office", kOffice));
    EXPECT_FALSE(std::filesystem::exists("Host.DAT"));

    hosts.append(kLab);
    const std::string before = readFile("Host.DAT");
    EXPECT_FALSE(hosts.overwriteFirst("office", kOffice));
    EXPECT_EQ(readFile("Host.DAT"), before);
}

TEST(HostFile, MarkingDeadKeepsTheSizeAndStarsTheFirstTwoBytesOfEveryText) {
    ScratchDirectory dir;
    HostFile hosts;
    hosts.append(kOffice);
    hosts.append(kLab);
    hosts.append(kOfficeAgain);
    const std::string before = readFile("Host.DAT");

    ASSERT_TRUE(hosts.markDeadFirst("office"));

    const std::string after = readFile("Host.DAT");
    ASSERT_EQ(after.size(), before.size());
    std::string expected = recordAt(before, 0);
    for (std::size_t offset : {0, 256, 512, 768, 1024})
        expected.replace(offset, 2, std::string("*\0", 2));
    EXPECT_EQ(recordAt(after, 0), expected);
    EXPECT_EQ(after.substr(1034), before.substr(1034));

    const HostRecord dead = HostRecord::fromBytes(recordAt(after, 0));
    EXPECT_EQ(dead.hostName, "*");
    EXPECT_EQ(dead.displayName, "*");
    EXPECT_EQ(dead.port, "*");
    EXPECT_TRUE(dead.isDead());

    EXPECT_EQ(hosts.liveRecords(), (std::vector<HostRecord>{kLab, kOfficeAgain}));
    // The second host of that name now answers; the dead one is never found, not even as "*".
    EXPECT_EQ(hosts.findFirst("office"), kOfficeAgain);
    EXPECT_EQ(hosts.findFirst("*"), std::nullopt);
    EXPECT_FALSE(hosts.markDeadFirst("*"));
    EXPECT_FALSE(hosts.overwriteFirst("*", kLab));
    EXPECT_EQ(readFile("Host.DAT"), after);
}

TEST(HostFile, AMissingOrEmptyFileFindsNothingAndReadersNeverCreateIt) {
    ScratchDirectory dir;
    HostFile hosts;
    EXPECT_EQ(hosts.findFirst("office"), std::nullopt);
    EXPECT_TRUE(hosts.liveRecords().empty());
    EXPECT_FALSE(hosts.markDeadFirst("office"));
    EXPECT_FALSE(std::filesystem::exists("Host.DAT"));

    writeFile("Host.DAT", "");
    EXPECT_TRUE(hosts.liveRecords().empty());
    EXPECT_EQ(hosts.findFirst(""), std::nullopt);
}

TEST(HostFile, ATrailingPartialRecordIsSkipped) {
    ScratchDirectory dir;
    const std::string partial = hostRecord("partial", "p.lan", "u", "p", "1").toBytes().substr(0, 700);
    writeFile("Host.DAT", kOffice.toBytes() + partial);

    HostFile hosts;
    EXPECT_EQ(hosts.liveRecords(), std::vector<HostRecord>{kOffice});
    EXPECT_EQ(hosts.findFirst("partial"), std::nullopt);
    EXPECT_FALSE(hosts.markDeadFirst("partial"));
    EXPECT_EQ(readFile("Host.DAT").size(), 1034u + 700u);
}

TEST(HostFile, AppendingAfterAPartialRecordKeepsItsBytesAndRecordsOnTheirBoundaries) {
    ScratchDirectory dir;
    writeFile("Host.DAT", kOffice.toBytes() + std::string(100, 'z'));
    EXPECT_EQ(HostFile().scan().trailingBytes, 100u);

    ASSERT_TRUE(HostFile().append(kLab));

    const std::string bytes = readFile("Host.DAT");
    ASSERT_EQ(bytes.size(), 3u * 1034u);
    EXPECT_EQ(recordAt(bytes, 0), kOffice.toBytes());
    EXPECT_EQ(recordAt(bytes, 1), std::string(100, 'z') + std::string(934, '\0'));
    EXPECT_EQ(recordAt(bytes, 2), kLab.toBytes());
    EXPECT_EQ(HostFile().scan().trailingBytes, 0u);
    EXPECT_EQ(HostFile().findFirst("lab"), kLab);
}

TEST(HostFile, ReadsRecordsWithoutAnyTerminator) {
    ScratchDirectory dir;
    writeFile("Host.DAT", std::string(1034, 'x') + std::string(10, 'y'));
    const std::vector<HostRecord> records = HostFile().liveRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].displayName, std::string(256, 'x'));
    EXPECT_EQ(records[0].port, std::string(9, 'x'));
    EXPECT_EQ(HostFile().findFirst(std::string(256, 'x'))->hostName, std::string(256, 'x'));
}

TEST(HostFile, WritingFailsWhenThePathCannotBeAFile) {
    ScratchDirectory dir;
    std::filesystem::create_directory("Host.DAT");
    HostFile hosts;
    EXPECT_FALSE(hosts.append(kOffice));
    EXPECT_TRUE(hosts.liveRecords().empty());
}

TEST(HostFile, EveryWriteLeavesAnOpenFileReadableByItsOwnerOnly) {
    ScratchDirectory dir;
    const auto write = [](const char* what) {
        if (std::string(what) == "append")
            return HostFile().append(kLab);
        if (std::string(what) == "overwrite")
            return HostFile().overwriteFirst("office", kOfficeAgain);
        return HostFile().markDeadFirst("office");
    };
    for (const char* what : {"append", "overwrite", "mark dead"}) {
        writeFile("Host.DAT", kOffice.toBytes());
        ASSERT_EQ(::chmod("Host.DAT", 0644), 0);
        EXPECT_TRUE(HostFile().scan().readableByOthers) << what;
        ASSERT_TRUE(write(what)) << what;
        EXPECT_EQ(permissions("Host.DAT"), 0600) << what;
        EXPECT_FALSE(HostFile().scan().readableByOthers) << what;
    }
}

TEST(HostFile, AFifoOrADeviceIsNeverWaitedOnReadNorWritten) {
    ScratchDirectory dir;
    ASSERT_EQ(::mkfifo("Host.DAT", 0600), 0);
    HostFile hosts;
    const HostFile::Scan scan = hosts.scan();
    EXPECT_EQ(scan.status, FileRead::NotRegular);
    EXPECT_EQ(scan.reason, "it is not a regular file");
    EXPECT_EQ(hosts.findFirst("office"), std::nullopt);
    EXPECT_FALSE(hosts.append(kOffice));  // no reader: the open fails at once
    EXPECT_FALSE(hosts.lastError().empty());

    std::filesystem::remove("Host.DAT");
    ASSERT_EQ(::symlink("/dev/zero", "Host.DAT"), 0);
    EXPECT_EQ(hosts.scan().status, FileRead::NotRegular);
    EXPECT_TRUE(hosts.liveRecords().empty());
    EXPECT_FALSE(hosts.append(kOffice));
    EXPECT_EQ(hosts.lastError(), "it is not a regular file");
}

TEST(HostFile, AFileBeyondAnySaneSizeIsNotRead) {
    ScratchDirectory dir;
    writeFile("Host.DAT", kOffice.toBytes());
    std::filesystem::resize_file("Host.DAT", HostFile::kMaxBytes + 1034);
    const HostFile::Scan scan = HostFile().scan();
    EXPECT_EQ(scan.status, FileRead::TooLarge);
    EXPECT_EQ(scan.reason, "it is larger than 33554432 bytes");
    EXPECT_EQ(HostFile().findFirst("office"), std::nullopt);
}

TEST(HostFile, AFailedAppendOnAFullDiskLeavesTheFileAsItWas) {
    ScratchDirectory dir;
    ASSERT_TRUE(HostFile().append(kOffice));
    const std::string before = readFile("Host.DAT");
    HostFile hosts;
    bool appended = true;
    {
        FileSizeLimit full(1034 + 500);
        if (!full.active())
            GTEST_SKIP() << "the file size limit cannot be lowered here";
        appended = hosts.append(kLab);
    }
    EXPECT_FALSE(appended);
    EXPECT_EQ(hosts.lastError(), "File too large");
    EXPECT_EQ(readFile("Host.DAT"), before);
}

TEST(HostFile, TextsThatAreNotUtf8AreFoundAndKeptByteForByte) {
    ScratchDirectory dir;
    const HostRecord latin = hostRecord("M\xFCnchen", "db.m\xFC.lan", "j\xF6rg", "p\xE4ss", "3306");
    ASSERT_TRUE(HostFile().append(latin));
    EXPECT_EQ(HostFile().findFirst("M\xFCnchen"), latin);
    ASSERT_TRUE(HostFile().markDeadFirst("M\xFCnchen"));
    EXPECT_TRUE(HostFile().liveRecords().empty());
}
