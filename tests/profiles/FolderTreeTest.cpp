#include <gtest/gtest.h>

#include <filesystem>

#include "ProfileTesting.h"
#include "profiles/FolderTree.h"
#include "support/TestServer.h"

using namespace velkin;
using namespace velkin::test;

namespace {

/// The tree as indented "label/kind" lines, children in their order.
std::string outline(const FolderTree::Node& node, int depth = 0) {
    std::string text =
        std::string(depth * 2, ' ') + node.label.toStdString() + "/" + std::to_string(node.kind) + "\n";
    for (const auto& child : node.children)
        text += outline(*child, depth + 1);
    return text;
}

std::string outline(const FolderTree& tree) {
    return outline(tree.root());
}

}  // namespace

TEST(FolderTree, SavesRootFolderHostAndFolderAsFourCrLfLines) {
    FolderTree tree;
    FolderTree::Node& a = tree.root().addChild("A", FolderTree::Folder);
    a.addChild("h", FolderTree::Host);
    tree.root().addChild("B", FolderTree::Folder);

    EXPECT_EQ(tree.toText(), "3\r\n0 0 A -1\r\n1 2 h -1\r\n0 0 B -1\r\n");
    EXPECT_EQ(tree.nodeCount(), 4);
}

TEST(FolderTree, TheRootAloneSavesAsACountOfZero) {
    FolderTree tree;
    EXPECT_EQ(tree.root().label, "Host");
    EXPECT_EQ(tree.toText(), "0\r\n");
}

TEST(FolderTree, KeepsSiblingsSortedByLabelWhateverTheOrderOfAdding) {
    FolderTree tree;
    tree.root().addChild("charlie", FolderTree::Host);
    tree.root().addChild("Alpha", FolderTree::Folder);
    tree.root().addChild("bravo", FolderTree::Folder);
    tree.root().addChild("alpha", FolderTree::Host);

    EXPECT_EQ(outline(tree), "Host/0\n  Alpha/0\n  alpha/2\n  bravo/0\n  charlie/2\n");
}

TEST(FolderTree, NumbersNodesInPreOrderAcrossDepths) {
    FolderTree tree;
    FolderTree::Node& a = tree.root().addChild("a", FolderTree::Folder);  // 1
    FolderTree::Node& a1 = a.addChild("a1", FolderTree::Folder);          // 2
    a1.addChild("deep", FolderTree::Host);                                // 3
    a.addChild("a2", FolderTree::Host);                                   // 4
    FolderTree::Node& b = tree.root().addChild("b", FolderTree::Folder);  // 5
    b.addChild("b1", FolderTree::Host);                                   // 6

    EXPECT_EQ(tree.toText(),
              "6\r\n"
              "0 0 a -1\r\n"
              "1 0 a1 -1\r\n"
              "2 2 deep -1\r\n"
              "1 2 a2 -1\r\n"
              "0 0 b -1\r\n"
              "5 2 b1 -1\r\n");
    EXPECT_EQ(outline(FolderTree::fromText(tree.toText())), outline(tree));
}

TEST(FolderTree, WritesAtMostNineteenCharactersOfALabel) {
    FolderTree tree;
    tree.root().addChild("abcdefghijklmnopqrstuvwxyz", FolderTree::Host);
    tree.root().addChild(QString::fromUtf8("あいうえおかきくけこさしすせそたちつてと"), FolderTree::Host);

    EXPECT_EQ(tree.toText(), "2\r\n0 2 abcdefghijklmnopqrs -1\r\n0 2 " +
                                 std::string("あいうえおかきくけこさしすせそたちつて") + " -1\r\n");
}

TEST(FolderTree, ReadsLfAndCrLfLineEndsAlike) {
    const std::string crlf = "3\r\n0 0 A -1\r\n1 2 h -1\r\n0 0 B -1\r\n";
    const std::string lf = "3\n0 0 A -1\n1 2 h -1\n0 0 B -1\n";
    const std::string expected = "Host/0\n  A/0\n    h/2\n  B/0\n";
    EXPECT_EQ(outline(FolderTree::fromText(crlf)), expected);
    EXPECT_EQ(outline(FolderTree::fromText(lf)), expected);
    EXPECT_EQ(outline(FolderTree::fromText("3\n0 0 A -1\n1 2 h -1\n0 0 B -1")), expected);
    EXPECT_EQ(FolderTree::fromText(crlf).toText(), crlf);
}

TEST(FolderTree, SortsNodesReadFromAnUnsortedFile) {
    const FolderTree tree = FolderTree::fromText("3\r\n0 0 zeta -1\r\n0 2 beta -1\r\n0 0 Alpha -1\r\n");
    EXPECT_EQ(outline(tree), "Host/0\n  Alpha/0\n  beta/2\n  zeta/0\n");
    // Numbers follow the lines, not the sorted places: the child of line 1 goes under zeta.
    const FolderTree nested = FolderTree::fromText("3\r\n0 0 zeta -1\r\n0 0 alpha -1\r\n1 2 inZeta -1\r\n");
    EXPECT_EQ(outline(nested), "Host/0\n  alpha/0\n  zeta/0\n    inZeta/2\n");
}

TEST(FolderTree, AnUnreadableCountLeavesTheRootAlone) {
    for (const char* text : {"", "\r\n", "x\r\n0 0 A -1\r\n", "3 4\r\n0 0 A -1\r\n", "3x\r\n0 0 A -1\r\n",
                             "99999999999999999999\r\n0 0 A -1\r\n"}) {
        const FolderTree tree = FolderTree::fromText(text);
        EXPECT_EQ(outline(tree), "Host/0\n") << text;
    }
    EXPECT_EQ(outline(FolderTree::fromText("0\r\n0 0 A -1\r\n")), "Host/0\n");
    EXPECT_EQ(outline(FolderTree::fromText("-5\r\n0 0 A -1\r\n")), "Host/0\n");
}

TEST(FolderTree, ADamagedLineEndsReadingAndKeepsWhatCameBefore) {
    const std::string good = "5\r\n0 0 A -1\r\n1 2 h -1\r\n";
    const std::string expected = "Host/0\n  A/0\n    h/2\n";
    const char* damaged[] = {
        "0 0 B\r\n",           // a field short
        "0 0 B -1 extra\r\n",  // a field too many
        "x 0 B -1\r\n",        // parent not a number
        "0 x B -1\r\n",        // kind not a number
        "0 0 B x\r\n",         // last field not a number
        "0 5 B -1\r\n",        // a kind that is neither folder nor host
        "2 0 B -1\r\n",        // parent is a host
        "3 0 B -1\r\n",        // parent not numbered yet
        "-1 0 B -1\r\n",       // no such number
        "\r\n",                // empty line
    };
    for (const char* line : damaged) {
        const FolderTree tree = FolderTree::fromText(good + line + "0 0 C -1\r\n0 0 D -1\r\n");
        EXPECT_EQ(outline(tree), expected) << line;
    }
}

TEST(FolderTree, FewerLinesThanTheCountJustEnds) {
    EXPECT_EQ(outline(FolderTree::fromText("10\r\n0 0 A -1\r\n1 2 h -1\r\n")), "Host/0\n  A/0\n    h/2\n");
    EXPECT_EQ(outline(FolderTree::fromText("10\r\n0 0 A -1\r\n1 2 h")), "Host/0\n  A/0\n");
}

TEST(FolderTree, LinesBeyondTheCountAreNotRead) {
    EXPECT_EQ(outline(FolderTree::fromText("1\r\n0 0 A -1\r\n0 0 B -1\r\n")), "Host/0\n  A/0\n");
}

TEST(FolderTree, CutsOverlongLabelsWhenReading) {
    const FolderTree tree = FolderTree::fromText("1\r\n0 2 abcdefghijklmnopqrstuvwxyz -1\r\n");
    EXPECT_EQ(outline(tree), "Host/0\n  abcdefghijklmnopqrs/2\n");
}

TEST(FolderTree, SavesAndLoadsTheBareNameInTheCurrentDirectory) {
    ScratchDirectory dir;
    FolderTree tree;
    tree.root().addChild("A", FolderTree::Folder).addChild("h", FolderTree::Host);
    tree.root().addChild("B", FolderTree::Folder);
    ASSERT_TRUE(tree.save());

    EXPECT_EQ(readFile(dir.path() + "/FOLDER.DAT"), "3\r\n0 0 A -1\r\n1 2 h -1\r\n0 0 B -1\r\n");
    EXPECT_EQ(outline(FolderTree::load()), outline(tree));

    // Saving rewrites the file whole.
    ASSERT_TRUE(FolderTree().save());
    EXPECT_EQ(readFile("FOLDER.DAT"), "0\r\n");
}

TEST(FolderTree, AMissingOrUnreadableFileLoadsAsTheRootAlone) {
    ScratchDirectory dir;
    EXPECT_EQ(outline(FolderTree::load()), "Host/0\n");
    std::filesystem::create_directory("FOLDER.DAT");
    EXPECT_EQ(outline(FolderTree::load()), "Host/0\n");
    EXPECT_FALSE(FolderTree().save());
}

TEST(FolderTree, BinaryGarbageNeverCrashes) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 7919 + 13) % 256);
    EXPECT_GE(FolderTree::fromText(garbage).nodeCount(), 1);
    EXPECT_GE(FolderTree::fromText("3\r\n" + garbage).nodeCount(), 1);
    EXPECT_EQ(outline(FolderTree::fromText(std::string("2\r\n0 0 A\0B -1\r\n0 0 C -1\r\n", 25))), "Host/0\n");
}
