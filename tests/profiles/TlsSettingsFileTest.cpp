#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "ProfileTesting.h"
#include "profiles/TlsSettingsFile.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

namespace {

TlsOptions tlsOf(TlsMode mode, std::string ca = "", std::string cert = "", std::string key = "") {
    return TlsOptions{mode, std::move(ca), std::move(cert), std::move(key)};
}

}  // namespace

TEST(TlsSettingsLine, AnyNameOrPathSurvivesTheRoundTrip) {
    const TlsEntry plain{"office", tlsOf(TlsMode::Verified, "/etc/ca.pem", "", "")};
    EXPECT_EQ("office\tverified\t/etc/ca.pem\t\t", tlsEntryLine(plain));
    const TlsEntry awkward{"a\tb\\c\nd\re \xe6\x97\xa5\xff",
                           tlsOf(TlsMode::Required, "C:\\certs\\ca.pem", "/x y/'c\".pem", "k\tey")};
    const std::string line = tlsEntryLine(awkward);
    EXPECT_EQ(std::string::npos, line.find('\n'));
    EXPECT_EQ("a\\tb\\\\c\\nd\\re \xe6\x97\xa5\xff\trequired\tC:\\\\certs\\\\ca.pem\t/x y/'c\".pem\tk\\tey",
              line);
    const auto back = parseTlsEntryLine(line);
    ASSERT_TRUE(back);
    EXPECT_EQ(awkward.name, back->name);
    EXPECT_EQ(awkward.tls, back->tls);

    for (const char* damaged :
         {"", "office", "office\tverified\t\t", "office\tsometimes\t\t\t", "office\tverified\t\t\t\t",
          "\tverified\t\t\t", "off\\ice\tverified\t\t\t", "office\tverified\ta\\\t\t"})
        EXPECT_FALSE(parseTlsEntryLine(damaged)) << damaged;
}

TEST(TlsSettingsFile, StoresRenamesAndRemovesOwnerOnly) {
    ScratchDirectory dir;
    const mode_t oldMask = ::umask(022);
    TlsSettingsFile file;
    EXPECT_EQ(TlsOptions(), file.find("office")) << "no file: every host is plain";
    EXPECT_TRUE(file.store("", "plain", TlsOptions()));
    EXPECT_FALSE(std::filesystem::exists("HostTLS.DAT")) << "a plain host writes nothing";

    ASSERT_TRUE(file.store("", "office", tlsOf(TlsMode::Verified, "/ca.pem", "/c.pem", "/k.pem")));
    ASSERT_TRUE(file.store("", "lab", tlsOf(TlsMode::Required)));
    EXPECT_EQ(0600, permissions("HostTLS.DAT"));
    EXPECT_EQ(
        "# VelkinSorvane TLS settings of the saved hosts\n"
        "office\tverified\t/ca.pem\t/c.pem\t/k.pem\n"
        "lab\trequired\t\t\t\n",
        readFile("HostTLS.DAT"));
    EXPECT_EQ(tlsOf(TlsMode::Verified, "/ca.pem", "/c.pem", "/k.pem"), file.find("office"));

    // A rename keeps the line where it was.
    ASSERT_TRUE(file.store("office", "head office", tlsOf(TlsMode::Required, "/ca2.pem")));
    EXPECT_EQ(TlsOptions(), file.find("office"));
    EXPECT_EQ(tlsOf(TlsMode::Required, "/ca2.pem"), file.find("head office"));
    ASSERT_TRUE(file.remove("head office"));
    EXPECT_EQ("# VelkinSorvane TLS settings of the saved hosts\nlab\trequired\t\t\t\n",
              readFile("HostTLS.DAT"));

    // A file someone else made readable is narrowed again on the next save.
    ::chmod("HostTLS.DAT", 0644);
    ASSERT_TRUE(file.store("lab", "lab", tlsOf(TlsMode::Verified)));
    EXPECT_EQ(0600, permissions("HostTLS.DAT"));
    ::umask(oldMask);
}

TEST(TlsSettingsFile, KeepsWhatItCannotReadAndNeverReplacesAnUnreadableFile) {
    ScratchDirectory dir;
    writeFile("HostTLS.DAT",
              "# notes of mine\r\nfuture\tpinned\tsha256:ab\t\t\t\t\nlab\trequired\t\t\t\r\n\n");
    TlsSettingsFile file;
    EXPECT_EQ(tlsOf(TlsMode::Required), file.find("lab")) << "CR LF line ends read as one";
    ASSERT_TRUE(file.store("", "new", tlsOf(TlsMode::Verified)));
    EXPECT_EQ(
        "# VelkinSorvane TLS settings of the saved hosts\n# notes of "
        "mine\nfuture\tpinned\tsha256:ab\t\t\t\t\n"
        "lab\trequired\t\t\t\n\nnew\tverified\t\t\t\n",
        readFile("HostTLS.DAT"));

    std::filesystem::remove("HostTLS.DAT");
    std::filesystem::create_directory("HostTLS.DAT");
    EXPECT_EQ(TlsOptions(), file.find("lab"));
    EXPECT_FALSE(file.store("", "x", tlsOf(TlsMode::Required)));
    EXPECT_EQ("it is not a regular file", file.lastError());
    EXPECT_TRUE(std::filesystem::is_directory("HostTLS.DAT"));
}

TEST(TlsSettingsFile, AFullDiskLeavesTheOldFile) {
    ScratchDirectory dir;
    TlsSettingsFile file;
    ASSERT_TRUE(file.store("", "lab", tlsOf(TlsMode::Required)));
    const std::string before = readFile("HostTLS.DAT");
    {
        FileSizeLimit limit(40);
        ASSERT_TRUE(limit.active());
        EXPECT_FALSE(
            file.store("", "a much longer name that does not fit", tlsOf(TlsMode::Verified, "/ca.pem")));
    }
    EXPECT_FALSE(file.lastError().empty());
    EXPECT_EQ(before, readFile("HostTLS.DAT"));
}
