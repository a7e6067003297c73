#include <gtest/gtest.h>

#include "privileges/PrivilegeFlags.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

TEST(PrivilegeFlags, OnlyExactlyYOrLowerYIsOn) {
    auto c = connectAdmin();
    Result r = c->select("SELECT 'Y', 'y', 'N', 'n', '', 'Yes', NULL, ' Y'");
    Row row = r.fetchRow();
    ASSERT_TRUE(row);
    EXPECT_TRUE(flagIsOn(row, 0));
    EXPECT_TRUE(flagIsOn(row, 1));
    for (unsigned i = 2; i < 8; ++i)
        EXPECT_FALSE(flagIsOn(row, i)) << "position " << i;
    EXPECT_FALSE(flagIsOn(row, 8)) << "a missing column reads as off";

    EXPECT_TRUE(beginsWithY("Yes"));
    EXPECT_TRUE(beginsWithY("y"));
    EXPECT_FALSE(beginsWithY(""));
    EXPECT_FALSE(beginsWithY(" Y"));
    EXPECT_TRUE(anyColumnFromBeginsWithY(row, 0));
    EXPECT_TRUE(anyColumnFromBeginsWithY(row, 5)) << "'Yes' begins with Y";
    EXPECT_FALSE(anyColumnFromBeginsWithY(row, 6)) << "NULL and ' Y' do not";
    EXPECT_FALSE(anyColumnFromBeginsWithY(row, 40));
}

TEST(PrivilegeFlags, ReadsByPositionFromTheGrantTables) {
    auto c = connectAdmin();
    Result user = c->select("select * from mysql.user where Host = 'localhost' AND User = 'root'");
    Row root = user.fetchRow();
    ASSERT_TRUE(root);
    EXPECT_EQ(std::vector<bool>(14, true), readFlags(root, GrantTable::User));

    Result common =
        c->select("select * from mysql.user where Host = 'localhost' AND User = 'sorvane_common'");
    Row plain = common.fetchRow();
    ASSERT_TRUE(plain);
    EXPECT_EQ(std::vector<bool>(14, false), readFlags(plain, GrantTable::User));

    Result host = c->select(
        "SELECT 'h', 'd', 'Y', 'N', 'y', 'N', 'N', 'N', 'N', 'N', 'N', 'Y'");  // the mysql.host layout
    Row h = host.fetchRow();
    EXPECT_EQ((std::vector<bool>{true, false, true, false, false, false, false, false, false, true}),
              readFlags(h, GrantTable::Host));
    EXPECT_EQ(2u, firstFlagPosition(GrantTable::Host));
    EXPECT_EQ(3u, firstFlagPosition(GrantTable::Db));
}

TEST(PrivilegeFlags, FragmentsKeepTheirBlanksAndOrder) {
    EXPECT_EQ(14u, privilegeColumns(GrantTable::User).size());
    EXPECT_EQ(10u, privilegeColumns(GrantTable::Db).size());
    EXPECT_EQ(
        ",Select_priv = 'Y',Insert_priv = 'N',Update_priv = 'Y' ,Delete_priv = 'N' ,Create_priv = 'Y' "
        ",Drop_priv = 'N' "
        ",Reload_priv = 'Y' ,Shutdown_priv = 'N' ,Process_priv = 'Y' ,File_priv = 'N' ,Grant_priv = 'Y' "
        ",References_priv = 'N' ,Index_priv = 'Y',Alter_priv = 'N'",
        flagFragments(GrantTable::User, {true, false, true, false, true, false, true, false, true, false,
                                         true, false, true, false}));
    EXPECT_EQ(
        ",Select_priv = 'N',Insert_priv = 'N',Update_priv = 'N' ,Delete_priv = 'N' ,Create_priv = 'N' "
        ",Drop_priv = 'N' "
        ",Grant_priv = 'N' ,References_priv = 'N' ,Index_priv = 'N',Alter_priv = 'N'",
        flagFragments(GrantTable::Db, std::vector<bool>(10, false)));
    EXPECT_EQ(flagFragments(GrantTable::Db, std::vector<bool>(10, true)),
              flagFragments(GrantTable::Host, std::vector<bool>(10, true)));
    EXPECT_STREQ("Reference", privilegeColumns(GrantTable::Host)[7].label);
    EXPECT_STREQ("References", privilegeColumns(GrantTable::User)[11].label);
}
