#pragma once

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

    struct Node {
        QString label;
        int kind = Folder;
        std::vector<std::unique_ptr<Node>> children;

        bool isFolder() const { return kind == Folder; }
        /// Puts a new child among its siblings in label order and returns it.
        Node& addChild(const QString& childLabel, int childKind);
    };

    static constexpr const char* kDefaultPath = "FOLDER.DAT";
    static QString rootLabel() { return QStringLiteral("Host"); }

    FolderTree();

    Node& root() { return m_root; }
    const Node& root() const { return m_root; }
    /// All nodes, the root included.
    int nodeCount() const;

    /// The file's bytes. Lines end in CR LF, as the file has always been written, so files move
    /// between installations unchanged.
    std::string toText() const;
    /// Reads what can be trusted of text: a damaged line ends the tree there, an unreadable count
    /// leaves the root alone.
    static FolderTree fromText(std::string_view text);

    /// Rewrites the file whole; false when it cannot be written.
    bool save(const std::string& path = kDefaultPath) const;
    /// The tree in the file, or the root alone when there is no readable file.
    static FolderTree load(const std::string& path = kDefaultPath);

private:
    Node m_root;
};

}  // namespace velkin
