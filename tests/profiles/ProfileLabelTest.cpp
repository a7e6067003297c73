#include <gtest/gtest.h>

#include "profiles/ProfileLabel.h"
#include "support/ScriptedOperator.h"

using namespace velkin;
using namespace velkin::test;

TEST(ProfileLabel, AcceptsOneWordOfOneToNineteenCharacters) {
    EXPECT_TRUE(isAcceptableLabel("a"));
    EXPECT_TRUE(isAcceptableLabel("db-1.example_org"));
    EXPECT_TRUE(isAcceptableLabel(QString(19, 'x')));
    EXPECT_TRUE(isAcceptableLabel(QString::fromUtf8("本番サーバー")));
    EXPECT_TRUE(isAcceptableLabel(QString(19, QChar(0x3042))));

    EXPECT_FALSE(isAcceptableLabel(""));
    EXPECT_FALSE(isAcceptableLabel(QString(20, 'x')));
    EXPECT_FALSE(isAcceptableLabel("two words"));
    EXPECT_FALSE(isAcceptableLabel(" lead"));
    EXPECT_FALSE(isAcceptableLabel("trail "));
    EXPECT_FALSE(isAcceptableLabel("tab\there"));
    EXPECT_FALSE(isAcceptableLabel("line\nbreak"));
    EXPECT_FALSE(isAcceptableLabel(QString::fromUtf8("全角\u3000空白")));
    EXPECT_FALSE(isAcceptableLabel(QString("bell") + QChar(7)));
}

TEST(ProfileLabel, CountsACharacterOutsideTheBasicPlaneAsOne) {
    const QString dolphin = QString::fromUtf8("\xF0\x9F\x90\xAC");
    QString nineteen;
    for (int i = 0; i < 19; ++i)
        nineteen += dolphin;
    EXPECT_EQ(nineteen.size(), 38);
    EXPECT_EQ(characterCount(nineteen), 19);
    EXPECT_TRUE(isAcceptableLabel(nineteen));
    EXPECT_FALSE(isAcceptableLabel(nineteen + "x"));
}

TEST(ProfileLabel, LeftCharactersNeverSplitsASurrogatePair) {
    const QString dolphin = QString::fromUtf8("\xF0\x9F\x90\xAC");
    EXPECT_EQ(leftCharacters("a" + dolphin + "b", 2), "a" + dolphin);
    EXPECT_EQ(leftCharacters("a" + dolphin + "b", 1), "a");
    EXPECT_EQ(leftCharacters("abc", 19), "abc");
    EXPECT_EQ(leftCharacters(QString(25, 'z'), 19), QString(19, 'z'));
}

TEST(ProfileLabel, RefusalTellsThePersonOnceWithTheApplicationCaption) {
    ScriptedOperator op;
    EXPECT_FALSE(refuseUnacceptableLabel(op, "fine"));
    EXPECT_TRUE(op.messages.empty());

    EXPECT_TRUE(refuseUnacceptableLabel(op, "not fine"));
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "A name must be 1 to 19 characters long and hold no blanks.");
    EXPECT_EQ(op.messages[0].caption, "VelkinSorvane");
}

TEST(ProfileLabel, SortsCaseInsensitivelyWithAStableTieBreak) {
    EXPECT_TRUE(labelSortsBefore("alpha", "Bravo"));
    EXPECT_TRUE(labelSortsBefore("Alpha", "bravo"));
    EXPECT_FALSE(labelSortsBefore("bravo", "Alpha"));
    EXPECT_TRUE(labelSortsBefore("ALPHA", "alpha"));
    EXPECT_FALSE(labelSortsBefore("alpha", "ALPHA"));
    EXPECT_FALSE(labelSortsBefore("same", "same"));
}
