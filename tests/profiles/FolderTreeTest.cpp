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

TEST(FolderTree, WritesLabelBytesAsTheyAreEvenWhenNotUtf8) {
    FolderTree tree;
    tree.root().addChild("abcdefghijklmnopqrstuvwxyz", FolderTree::Host);
    tree.root().addChild(QByteArray("Caf\xE9"), FolderTree::Folder);
    tree.root().addChild(QString::fromUtf8("あいう").toUtf8(), FolderTree::Host);

    EXPECT_EQ(tree.toText(), "3\r\n0 2 abcdefghijklmnopqrstuvwxyz -1\r\n0 0 Caf\xE9 -1\r\n0 2 " +
                                 std::string("あいう") + " -1\r\n");
    // Shown as Latin-1, so each byte stays a character of its own.
    EXPECT_EQ(tree.root().children[1]->text(), QString::fromUtf8("Café"));
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

TEST(FolderTree, ACleanFileReadsWithoutProblems) {
    const FolderTree tree = FolderTree::fromText("3\r\n0 0 A -1\r\n1 2 h -1\r\n0 0 B -1\r\n\r\n");
    EXPECT_EQ(outline(tree), "Host/0\n  A/0\n    h/2\n  B/0\n");
    EXPECT_EQ(tree.problemCount(), 0);
    EXPECT_TRUE(FolderTree::fromText("").problems().empty());
    EXPECT_TRUE(FolderTree::fromText("0\r\n").problems().empty());
}

TEST(FolderTree, ReadsPastEveryDamagedLineAndSaysWhatItRepaired) {
    struct Case {
        const char* name;
        std::string text;
        std::string outline;
        std::string problem;
    };
    const std::string tail = "1 2 h -1\r\n0 0 B -1\r\n";
    const Case cases[] = {
        {"byte-order mark",
         "\xEF\xBB\xBF"
         "3\r\n0 0 A -1\r\n" +
             tail,
         "Host/0\n  A/0\n    h/2\n  B/0\n", "line 1: starts with a byte-order mark, which was skipped"},
        {"CR alone", "3\r0 0 A -1\r1 2 h -1\r0 0 B -1\r", "Host/0\n  A/0\n    h/2\n  B/0\n",
         "lines end in a CR alone"},
        {"negative count", "-1\r\n0 0 A -1\r\n" + tail, "Host/0\n  A/0\n    h/2\n  B/0\n",
         "line 1: \"-1\" is not a node count; every line after it is read"},
        {"overflowing count", "99999999999999999999\r\n0 0 A -1\r\n" + tail,
         "Host/0\n  A/0\n    h/2\n  B/0\n",
         "line 1: \"99999999999999999999\" is not a node count; every line after it is read"},
        {"count too small", "1\r\n0 0 A -1\r\n" + tail, "Host/0\n  A/0\n    h/2\n  B/0\n",
         "line 1: the count says 1 nodes, but 3 lines follow"},
        {"count too large", "9\r\n0 0 A -1\r\n" + tail, "Host/0\n  A/0\n    h/2\n  B/0\n",
         "line 1: the count says 9 nodes, but 3 lines follow"},
        {"no count", "0 0 A -1\r\n" + tail, "Host/0\n  A/0\n    h/2\n  B/0\n",
         "line 1: there is no node count; this line is read as a node"},
        // The unreadable node 2 gives its child to the folder it names as its own parent.
        {"unknown picture kind", "4\r\n0 0 A -1\r\n1 7 odd -1\r\n2 2 h -1\r\n0 0 B -1\r\n",
         "Host/0\n  A/0\n    h/2\n  B/0\n", "line 3: the picture kind 7 is unknown; not read"},
        {"selected picture kinds", "3\r\n0 1 A -1\r\n1 3 h -1\r\n0 0 B -1\r\n",
         "Host/0\n  A/0\n    h/2\n  B/0\n", "line 2: picture kind 1 is read as 0"},
        {"NUL byte", std::string("3\r\n0 0 A\0x -1\r\n", 15) + tail, "Host/0\n  B/0\n  h/2\n",
         "line 2: it holds a control character; not read"},
        {"too few fields", "3\r\n0 0\r\n" + tail, "Host/0\n  B/0\n  h/2\n",
         "line 2: \"0 0\" is not a parent number, a picture kind and a label; not read"},
        {"parent is a host", "4\r\n0 0 A -1\r\n1 2 h -1\r\n2 2 g -1\r\n0 0 B -1\r\n",
         "Host/0\n  A/0\n    g/2\n    h/2\n  B/0\n",
         "line 4: the parent 2 is a host; placed in the host's folder"},
        {"parent is itself", "3\r\n0 0 A -1\r\n2 2 h -1\r\n0 0 B -1\r\n", "Host/0\n  A/0\n  B/0\n  h/2\n",
         "line 3: the parent 2 is not an earlier node; placed under the root"},
        {"parent ahead", "3\r\n0 0 A -1\r\n3 2 h -1\r\n0 0 B -1\r\n", "Host/0\n  A/0\n  B/0\n  h/2\n",
         "line 3: the parent 3 is not an earlier node; placed under the root"},
        {"negative parent", "3\r\n0 0 A -1\r\n-4 2 h -1\r\n0 0 B -1\r\n", "Host/0\n  A/0\n  B/0\n  h/2\n",
         "line 3: the parent -4 is not an earlier node; placed under the root"},
        {"last field missing", "3\r\n0 0 A\r\n" + tail, "Host/0\n  A/0\n    h/2\n  B/0\n",
         "line 2: the last field is not -1"},
        {"last field not -1", "3\r\n0 0 A 5\r\n" + tail, "Host/0\n  A/0\n    h/2\n  B/0\n",
         "line 2: the last field is 5, not -1"},
    };
    for (const Case& c : cases) {
        const FolderTree tree = FolderTree::fromText(c.text);
        EXPECT_EQ(outline(tree), c.outline) << c.name;
        ASSERT_FALSE(tree.problems().empty()) << c.name;
        EXPECT_EQ(tree.problems().front(), c.problem) << c.name;
        // What was placed saves cleanly and reads back the same.
        const FolderTree again = FolderTree::fromText(tree.toText());
        EXPECT_EQ(outline(again), c.outline) << c.name;
        EXPECT_EQ(again.problemCount(), 0) << c.name;
    }
}

TEST(FolderTree, KeepsLabelsWithBlanksAndOverlongLabelsWhole) {
    const FolderTree tree =
        FolderTree::fromText("2\r\n0 2 abcdefghijklmnopqrstuvwxyz -1\r\n0 0 two  words -1\r\n");
    EXPECT_EQ(outline(tree), "Host/0\n  abcdefghijklmnopqrstuvwxyz/2\n  two  words/0\n");
    EXPECT_EQ(tree.problemCount(), 0);
    EXPECT_EQ(tree.toText(), "2\r\n0 2 abcdefghijklmnopqrstuvwxyz -1\r\n0 0 two  words -1\r\n");
}

TEST(FolderTree, LatinOneLabelsSurviveAReadAndAWriteByteForByte) {
    const std::string text = "3\r\n0 0 Caf\xE9 -1\r\n1 2 M\xFCnchen -1\r\n0 2 \xC3\xA9t\xC3\xA9 -1\r\n";
    const FolderTree tree = FolderTree::fromText(text);
    EXPECT_EQ(tree.problemCount(), 0);
    EXPECT_EQ(tree.toText(), text);
    EXPECT_EQ(tree.root().children[0]->label, QByteArray("Caf\xE9"));
    EXPECT_EQ(tree.root().children[0]->children[0]->text(), QString::fromUtf8("München"));
    EXPECT_EQ(tree.root().children[1]->text(), QString::fromUtf8("été"));
}

TEST(FolderTree, DeepNestingIsPlacedAtTheDepthBoundWithoutLosingANode) {
    constexpr int kDepth = 100000;
    std::string text = std::to_string(kDepth) + "\r\n";
    for (int i = 0; i < kDepth; ++i)
        text += std::to_string(i) + " 0 f" + std::to_string(i) + " -1\r\n";
    const FolderTree tree = FolderTree::fromText(text);
    EXPECT_EQ(tree.nodeCount(), kDepth + 1);
    EXPECT_EQ(tree.problemCount(), kDepth - FolderTree::kMaxDepth);
    EXPECT_EQ(tree.problems().front(), "line 202: nested deeper than 200 folders; placed at that depth");
    // The chain goes down to the bound, where every deeper folder waits side by side.
    const FolderTree::Node* node = &tree.root();
    int depth = 0;
    while (node->children.size() == 1) {
        node = node->children.front().get();
        ++depth;
    }
    EXPECT_EQ(depth, FolderTree::kMaxDepth - 1);
    EXPECT_EQ(node->children.size(), static_cast<std::size_t>(kDepth - FolderTree::kMaxDepth + 1));
    const FolderTree again = FolderTree::fromText(tree.toText());
    EXPECT_EQ(again.nodeCount(), kDepth + 1);
    EXPECT_EQ(again.problemCount(), 0);
}

TEST(FolderTree, ManySiblingsReadInOrderAndWriteBackUnchanged) {
    constexpr int kSiblings = 200000;
    std::string text = std::to_string(kSiblings) + "\r\n";
    char label[16];
    for (int i = 0; i < kSiblings; ++i) {
        std::snprintf(label, sizeof label, "h%07d", i);
        text += std::string("0 2 ") + label + " -1\r\n";
    }
    const FolderTree tree = FolderTree::fromText(text);
    EXPECT_EQ(tree.nodeCount(), kSiblings + 1);
    EXPECT_EQ(tree.problemCount(), 0);
    EXPECT_EQ(tree.toText(), text);
}

TEST(FolderTree, NodesBeyondTheBoundAreReportedNotRead) {
    std::string text = "0\r\n";
    for (int i = 0; i < FolderTree::kMaxNodes + 3; ++i)
        text += "0 2 h -1\n";
    const FolderTree tree = FolderTree::fromText(text);
    EXPECT_EQ(tree.nodeCount(), FolderTree::kMaxNodes + 1);
    EXPECT_EQ(tree.problems().front(),
              "line 500002: this line and the 2 after it exceed 500000 nodes and are not read");
}

TEST(FolderTree, ListsAtMostAHundredProblemsButCountsThemAll) {
    std::string text = "0\r\n";
    for (int i = 0; i < 150; ++i)
        text += "0 9 x -1\r\n";
    const FolderTree tree = FolderTree::fromText(text);
    EXPECT_EQ(tree.problems().size(), 100u);
    EXPECT_EQ(tree.problemCount(), 151);  // and the count
}

TEST(FolderTree, BinaryGarbageNeverCrashes) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 7919 + 13) % 256);
    EXPECT_GE(FolderTree::fromText(garbage).nodeCount(), 1);
    EXPECT_GE(FolderTree::fromText("3\r\n" + garbage).nodeCount(), 1);
    EXPECT_GT(FolderTree::fromText(garbage).problemCount(), 0);
}
