#include <gtest/gtest.h>

#include "ProfileTesting.h"
#include "profiles/HostRecord.h"

using namespace velkin;
using namespace velkin::test;

namespace {

std::string field(const std::string& bytes, std::size_t offset, std::size_t size) {
    return bytes.substr(offset, size);
}

std::string padded(const std::string& text, std::size_t size) {
    std::string bytes = text;
    bytes.resize(size, '\0');
    return bytes;
}

}  // namespace

TEST(HostRecord, WritesEachFieldAtItsOffsetWithZeroPaddingAndTheTrailingOne) {
    const std::string bytes = hostRecord("office", "db.example.org", "admin", "s3cret", "3307").toBytes();

    ASSERT_EQ(bytes.size(), 1034u);
    EXPECT_EQ(field(bytes, 0, 256), padded("office", 256));
    EXPECT_EQ(field(bytes, 256, 256), padded("db.example.org", 256));
    EXPECT_EQ(field(bytes, 512, 256), padded("admin", 256));
    EXPECT_EQ(field(bytes, 768, 256), padded("s3cret", 256));
    EXPECT_EQ(field(bytes, 1024, 9), padded("3307", 9));
    EXPECT_EQ(bytes[1033], '1');
}

TEST(HostRecord, CutsLongTextsSoEachFieldKeepsItsTerminator) {
    const std::string bytes = hostRecord(std::string(300, 'd'), std::string(256, 'h'), std::string(255, 'u'),
                                         std::string(1000, 'p'), "1234567890")
                                  .toBytes();

    ASSERT_EQ(bytes.size(), 1034u);
    EXPECT_EQ(field(bytes, 0, 256), std::string(255, 'd') + '\0');
    EXPECT_EQ(field(bytes, 256, 256), std::string(255, 'h') + '\0');
    EXPECT_EQ(field(bytes, 512, 256), std::string(255, 'u') + '\0');
    EXPECT_EQ(field(bytes, 768, 256), std::string(255, 'p') + '\0');
    EXPECT_EQ(field(bytes, 1024, 9), "12345678" + std::string(1, '\0'));
    EXPECT_EQ(bytes[1033], '1');

    const HostRecord back = HostRecord::fromBytes(bytes);
    EXPECT_EQ(back.displayName, std::string(255, 'd'));
    EXPECT_EQ(back.port, "12345678");
}

TEST(HostRecord, CuttingNeverSplitsAUtf8Character) {
    const std::string twoByte = "\xC3\xA9";           // é
    const std::string threeByte = "\xE3\x81\x82";     // あ
    const std::string fourByte = "\xF0\x9F\x90\xAC";  // a dolphin

    EXPECT_EQ(cutToFit(std::string(254, 'a') + twoByte, 255), std::string(254, 'a'));
    EXPECT_EQ(cutToFit(std::string(253, 'a') + twoByte, 255), std::string(253, 'a') + twoByte);
    EXPECT_EQ(cutToFit(std::string(253, 'a') + threeByte, 255), std::string(253, 'a'));
    EXPECT_EQ(cutToFit(std::string(254, 'a') + threeByte, 255), std::string(254, 'a'));
    EXPECT_EQ(cutToFit(std::string(252, 'a') + fourByte, 255), std::string(252, 'a'));
    EXPECT_EQ(cutToFit(std::string(251, 'a') + fourByte + "b", 255), std::string(251, 'a') + fourByte);
    EXPECT_EQ(cutToFit("1234567" + twoByte, 8), "1234567");

    std::string japanese;
    for (int i = 0; i < 100; ++i)
        japanese += threeByte;  // 300 bytes
    const HostRecord back = HostRecord::fromBytes(hostRecord(japanese, "", "", "", "").toBytes());
    EXPECT_EQ(back.displayName.size(), 255u);  // 85 whole characters
    EXPECT_EQ(back.displayName, japanese.substr(0, 255));
}

TEST(HostRecord, CuttingBytesThatAreNotUtf8CutsAtTheLimit) {
    EXPECT_EQ(cutToFit(std::string(300, '\x80'), 255), std::string(255, '\x80'));
    EXPECT_EQ(cutToFit("", 8), "");
    EXPECT_EQ(cutToFit("abc", 3), "abc");
    EXPECT_EQ(cutToFit("abcd", 0), "");
}

TEST(HostRecord, TextEndsAtAnEmbeddedNulAndNothingAfterItIsWritten) {
    const std::string bytes = hostRecord(std::string("ab\0cd", 5), "", "", "", "").toBytes();
    EXPECT_EQ(field(bytes, 0, 256), padded("ab", 256));
}

TEST(HostRecord, ReadsEachTextUpToItsTerminatorAndIgnoresWhatFollows) {
    std::string bytes = hostRecord("name", "host", "user", "pass", "3306").toBytes();
    // Leftovers after the terminators, as another writer may leave them.
    bytes.replace(5, 10, "GARBAGEXYZ");
    bytes.replace(1024 + 5, 3, "999");

    const HostRecord record = HostRecord::fromBytes(bytes);
    EXPECT_EQ(record, hostRecord("name", "host", "user", "pass", "3306"));
}

TEST(HostRecord, AFieldWithoutTerminatorIsReadToItsSize) {
    std::string bytes(1034, '\0');
    bytes.replace(0, 256, std::string(256, 'x'));
    bytes.replace(1024, 9, "123456789");
    bytes[1033] = '1';

    const HostRecord record = HostRecord::fromBytes(bytes);
    EXPECT_EQ(record.displayName, std::string(256, 'x'));
    EXPECT_EQ(record.hostName, "");
    EXPECT_EQ(record.port, "123456789");
}

TEST(HostRecord, AShortBufferReadsAsIfPaddedWithZeros) {
    const std::string bytes = hostRecord("name", "host", "user", "pass", "3306").toBytes();
    const HostRecord record = HostRecord::fromBytes(std::string_view(bytes).substr(0, 260));
    EXPECT_EQ(record.displayName, "name");
    EXPECT_EQ(record.hostName, "host");
    EXPECT_EQ(record.userName, "");
    EXPECT_EQ(record.port, "");
    EXPECT_EQ(HostRecord::fromBytes(""), HostRecord());
}

TEST(HostRecord, IsDeadWhenItsHostNameIsAStar) {
    EXPECT_TRUE(hostRecord("x", "*", "u", "p", "1").isDead());
    EXPECT_FALSE(hostRecord("*", "host", "u", "p", "1").isDead());
    EXPECT_FALSE(hostRecord("x", "*x", "u", "p", "1").isDead());
}
