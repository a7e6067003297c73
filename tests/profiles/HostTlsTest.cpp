#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <filesystem>

#include "LoginTesting.h"
#include "ProfileTesting.h"
#include "profiles/HostDialog.h"
#include "profiles/HostFile.h"
#include "profiles/LoginDialog.h"
#include "profiles/TlsSettingsFile.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

namespace {

void setTls(QWidget& dialog, TlsMode mode, const QString& ca = {}, const QString& cert = {},
            const QString& key = {}) {
    auto* combo = widget<QComboBox>(dialog, "TLS");
    combo->setCurrentIndex(combo->findData(static_cast<int>(mode)));
    setField(dialog, "CA file", ca);
    setField(dialog, "Client certificate", cert);
    setField(dialog, "Client key", key);
}

/// A record as an older copy of the program leaves it: bytes after each text's NUL are not zero.
std::string legacyRecord(const std::string& name, const std::string& host) {
    std::string bytes = hostRecord(name, host, "admin", "pw", "3306").toBytes();
    for (std::size_t field = 0; field < 1024; field += 256)
        bytes.replace(field + 40, 20, 20, '\xCC');
    bytes.replace(1029, 4, 4, '\xCC');
    return bytes;
}

const char* kHeader = "# VelkinSorvane TLS settings of the saved hosts\n";

}  // namespace

TEST(HostDialogTls, SavesTheSettingsApartAndShowsThemWhenEditing) {
    ScratchDirectory dir;
    ScriptedOperator op;
    op.defaultAnswer = true;
    {
        HostDialog dialog(op);
        EXPECT_EQ("Off", widget<QComboBox>(dialog, "TLS")->currentText());
        EXPECT_FALSE(field(dialog, "CA file")->isEnabled());
        setTls(dialog, TlsMode::Verified, "/certs/ca.pem", "/certs/me.pem", "/certs/me.key");
        EXPECT_TRUE(field(dialog, "CA file")->isEnabled());
        ASSERT_EQ(QDialog::Accepted, fillHostDialog(dialog, "office", "admin", "secret", "db.lan", "3307"));
    }
    EXPECT_EQ(hostRecord("office", "db.lan", "admin", "secret", "3307").toBytes(), readFile("Host.DAT"))
        << "the record keeps its layout and nothing else";
    EXPECT_EQ(std::string(kHeader) + "office\tverified\t/certs/ca.pem\t/certs/me.pem\t/certs/me.key\n",
              readFile("HostTLS.DAT"));
    EXPECT_EQ(0600, permissions("HostTLS.DAT"));

    {
        HostDialog dialog(op, "office");
        EXPECT_EQ("Required, server certificate verified", widget<QComboBox>(dialog, "TLS")->currentText());
        EXPECT_EQ("/certs/ca.pem", field(dialog, "CA file")->text());
        EXPECT_EQ("/certs/me.key", field(dialog, "Client key")->text());
        // Browsing fills the field through the person's choice.
        op.choose("/other/ca.pem");
        click(dialog, "CA file ...");
        EXPECT_EQ("/other/ca.pem", field(dialog, "CA file")->text());
        setField(dialog, "Display Name", "hq");
        setTls(dialog, TlsMode::Required, "/ignored/ca.pem");
        click(dialog, "Create");
        ASSERT_EQ(QDialog::Accepted, dialog.result());
    }
    EXPECT_EQ(std::string(kHeader) + "hq\trequired\t\t\t\n", readFile("HostTLS.DAT"))
        << "renamed, and the CA that only a verified connection reads is not kept";

    {
        HostDialog dialog(op, "hq");
        setTls(dialog, TlsMode::Required, {}, "/certs/me.pem");
        const std::size_t told = op.messages.size();
        click(dialog, "Create");
        ASSERT_EQ(told + 1, op.messages.size());
        EXPECT_EQ("A client certificate needs its key file, and a key file its certificate.",
                  op.messages.back().text);
        EXPECT_NE(QDialog::Accepted, dialog.result());
        setTls(dialog, TlsMode::Off);
        click(dialog, "Create");
        EXPECT_EQ(QDialog::Accepted, dialog.result());
    }
    EXPECT_EQ(std::string(kHeader), readFile("HostTLS.DAT")) << "a host turned plain leaves no line";
}

TEST(LoginDialogTls, OldHostFilesStayByteIdenticalAndTheLoginCarriesTheSettings) {
    ScratchDirectory dir;
    const std::string before = legacyRecord("office", "db.lan") + legacyRecord("lab", "lab.lan");
    writeFile("Host.DAT", before);
    ::chmod("Host.DAT", 0600);
    writeFile("FOLDER.DAT", "2\r\n0 2 lab -1\r\n0 2 office -1\r\n");
    ScriptedOperator op;
    op.defaultAnswer = true;
    LoginDialog login(op, "3306");
    select(login, {"office"});
    EXPECT_FALSE(login.values().tls.isOn()) << "a host without settings connects in plain text";

    op.onModal([](QDialog& dialog) {
        setTls(dialog, TlsMode::Verified, "/certs/ca.pem");
        click(dialog, "Create");
        return dialog.result();
    });
    click(login, "Edit Host");
    EXPECT_EQ(before, readFile("Host.DAT")) << "saving a host with TLS leaves Host.DAT byte for byte";
    EXPECT_EQ((TlsOptions{TlsMode::Verified, "/certs/ca.pem", "", ""}), login.values().tls);

    select(login, {"lab"});
    EXPECT_FALSE(login.values().tls.isOn());
    EXPECT_EQ("lab.lan", login.values().host.toStdString());
    select(login, {"office"});
    EXPECT_EQ(TlsMode::Verified, login.values().tls.mode);

    click(login, "Delete Host");
    EXPECT_EQ(before.size(), readFile("Host.DAT").size());
    EXPECT_EQ(std::string(kHeader), readFile("HostTLS.DAT")) << "the settings go with the host";
}
