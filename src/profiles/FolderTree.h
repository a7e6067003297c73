#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velkin {

/// The profile tree below its root "Host", and its FOLDER.DAT text: a count line, then one line per
/// node in pre-order giving its parent's number, kind and label. The root is number 0 and is not
/// stored; the other nodes are numbered from 1 in line order.
class FolderTree {
public:
    /// The node kinds are also the pictures of the nodes (the selected pictures are kind + 1).
    enum Kind { Folder = 0, Host = 2 };

    /// Deeper folders are placed at this depth when read, so that nothing that walks the tree
    /// (the tree widget included) can run out of stack; no one nests profiles this deep by hand.
    static constexpr int kMaxDepth = 200;
    /// Nodes beyond this many are left unread (and reported): far more than any profile list.
    static constexpr int kMaxNodes = 500000;

    struct Node {
        /// The label's bytes as the file holds them; they need not be UTF-8.
        QByteArray label;
        int kind = Folder;
        std::vector<std::unique_ptr<Node>> children;

        bool isFolder() const { return kind == Folder; }
        /// The label as shown.
        QString text() const;
        /// Puts a new child among its siblings in label order and returns it.
        Node& addChild(const QByteArray& childLabel, int childKind);
        /// Adds a new child after the last one, for callers that add siblings already in order.
        Node& appendChild(const QByteArray& childLabel, int childKind);
    };

    static constexpr const char* kDefaultPath = "FOLDER.DAT";
    static QString rootLabel() { return QStringLiteral("Host"); }

    FolderTree();

    Node& root() { return m_root; }
    const Node& root() const { return m_root; }
    /// All nodes, the root included.
    int nodeCount() const;

    /// The file's bytes. Lines end in CR LF, as the file has always been written, so files move
    /// between installations unchanged. Labels are written as their bytes.
    std::string toText() const;
    /// Reads everything of text that can be placed. A line that cannot be read is skipped, its
    /// children go where it would have gone; a node whose parent cannot hold it goes under the
    /// nearest folder that can. Every such repair is listed in problems().
    static FolderTree fromText(std::string_view text);

    /// What could not be read as written, one entry per line concerned ("line 4: ..."), at most
    /// kMaxListedProblems of them; problemCount() counts them all.
    const std::vector<std::string>& problems() const { return m_problems; }
    int problemCount() const { return m_problemCount; }
    static constexpr int kMaxListedProblems = 100;

private:
    void addProblem(std::string text);

    Node m_root;
    std::vector<std::string> m_problems;
    int m_problemCount = 0;
};

}  // namespace velkin
