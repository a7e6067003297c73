#include "FolderTree.h"

#include <fmt/format.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>

#include "ProfileLabel.h"

namespace velkin {

namespace {

struct Line {
    int number;  // in the file, from 1
    std::string_view text;
};

/// The lines of text without their ends. LF, CR LF and a CR alone each end a line: files edited
/// on other systems end their lines every way.
std::vector<Line> splitLines(std::string_view text, bool& loneCr) {
    std::vector<Line> lines;
    int number = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r')
            continue;
        lines.push_back({++number, text.substr(start, i - start)});
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            else
                loneCr = true;
        }
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back({++number, text.substr(start)});
    return lines;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

bool isControl(char c) {
    return (static_cast<unsigned char>(c) < 0x20 && !isBlank(c)) || c == '\x7f';
}

bool isBlankLine(std::string_view line) {
    return std::all_of(line.begin(), line.end(), isBlank);
}

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> result;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && isBlank(line[at]))
            ++at;
        const std::size_t start = at;
        while (at < line.size() && !isBlank(line[at]))
            ++at;
        if (at > start)
            result.push_back(line.substr(start, at - start));
    }
    return result;
}

std::optional<int> toInt(std::string_view word) {
    const std::string text(word);
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno == ERANGE || value < INT_MIN || value > INT_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

/// The bytes from the start of first to the end of last, blanks between them included.
std::string_view span(std::string_view first, std::string_view last) {
    return std::string_view(first.data(), static_cast<std::size_t>(last.data() + last.size() - first.data()));
}

std::string shown(std::string_view text) {
    std::string result;
    for (const char c : text.substr(0, 40))
        result += isControl(c) ? '?' : c;
    return text.size() > 40 ? result + "..." : result;
}

/// How one node line was read.
struct NodeLine {
    std::optional<int> parent;
    std::optional<int> kind;
    std::string_view label;
    std::string problem;  // empty when the line is as written
    bool readable = false;
};

NodeLine readNodeLine(std::string_view text) {
    NodeLine line;
    const std::vector<std::string_view> fields = words(text);
    if (!fields.empty())
        line.parent = toInt(fields[0]);
    if (std::any_of(text.begin(), text.end(), isControl)) {
        line.problem = "it holds a control character";
        return line;
    }
    if (fields.size() < 3 || !line.parent || !(line.kind = toInt(fields[1]))) {
        line.problem = fmt::format("\"{}\" is not a parent number, a picture kind and a label", shown(text));
        return line;
    }
    const std::optional<int> tail = fields.size() >= 4 ? toInt(fields.back()) : std::nullopt;
    // A label with blanks was never written by this program, but its bytes are kept whole.
    line.label = span(fields[2], tail ? fields[fields.size() - 2] : fields.back());
    if (!tail)
        line.problem = "the last field is not -1";
    else if (*tail != -1)
        line.problem = fmt::format("the last field is {}, not -1", *tail);
    line.readable = true;
    return line;
}

/// Siblings in label order; labels are decoded once per sort, not once per comparison.
void sortChildren(FolderTree::Node& node) {
    auto& children = node.children;
    if (children.size() < 2)
        return;
    std::vector<std::pair<QString, std::unique_ptr<FolderTree::Node>>> keyed;
    keyed.reserve(children.size());
    for (auto& child : children)
        keyed.emplace_back(child->text(), std::move(child));
    const auto before = [](const auto& a, const auto& b) { return labelSortsBefore(a.first, b.first); };
    if (!std::is_sorted(keyed.begin(), keyed.end(), before))
        std::stable_sort(keyed.begin(), keyed.end(), before);
    for (std::size_t i = 0; i < keyed.size(); ++i)
        children[i] = std::move(keyed[i].second);
}

}  // namespace

QString FolderTree::Node::text() const {
    return labelText(label);
}

FolderTree::Node& FolderTree::Node::addChild(const QByteArray& childLabel, int childKind) {
    auto child = std::make_unique<Node>();
    child->label = childLabel;
    child->kind = childKind;
    const QString text = child->text();
    // After the last sibling that does not sort after the new one, so equal labels keep their order.
    const auto position = std::upper_bound(children.begin(), children.end(), text,
                                           [](const QString& label, const std::unique_ptr<Node>& sibling) {
                                               return labelSortsBefore(label, sibling->text());
                                           });
    return **children.insert(position, std::move(child));
}

FolderTree::Node& FolderTree::Node::appendChild(const QByteArray& childLabel, int childKind) {
    auto child = std::make_unique<Node>();
    child->label = childLabel;
    child->kind = childKind;
    children.push_back(std::move(child));
    return *children.back();
}

FolderTree::FolderTree() {
    m_root.label = rootLabel().toUtf8();
}

int FolderTree::nodeCount() const {
    int count = 1;
    std::vector<const Node*> pending{&m_root};
    while (!pending.empty()) {
        const Node* node = pending.back();
        pending.pop_back();
        count += static_cast<int>(node->children.size());
        for (const auto& child : node->children)
            pending.push_back(child.get());
    }
    return count;
}

std::string FolderTree::toText() const {
    std::string text = std::to_string(nodeCount() - 1) + "\r\n";
    // Pre-order without recursion: each frame is a node, its number and the next child to write.
    struct Frame {
        const Node* node;
        std::size_t next;
        int number;
    };
    std::vector<Frame> stack{{&m_root, 0, 0}};
    int lastNumber = 0;
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next == frame.node->children.size()) {
            stack.pop_back();
            continue;
        }
        const Node& child = *frame.node->children[frame.next++];
        text += std::to_string(frame.number);
        text += ' ';
        text += std::to_string(child.kind);
        text += ' ';
        text.append(child.label.constData(), static_cast<std::size_t>(child.label.size()));
        text += " -1\r\n";
        stack.push_back({&child, 0, ++lastNumber});
    }
    return text;
}

void FolderTree::addProblem(std::string text) {
    if (m_problemCount++ < kMaxListedProblems)
        m_problems.push_back(std::move(text));
}

FolderTree FolderTree::fromText(std::string_view text) {
    FolderTree tree;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
        tree.addProblem("line 1: starts with a byte-order mark, which was skipped");
    }
    bool loneCr = false;
    std::vector<Line> lines = splitLines(text, loneCr);
    if (loneCr)
        tree.addProblem("lines end in a CR alone");
    lines.erase(std::remove_if(lines.begin(), lines.end(), [](const Line& l) { return isBlankLine(l.text); }),
                lines.end());
    if (lines.empty())
        return tree;

    std::size_t first = 0;
    // -1 when the file gives no usable count.
    int count = -1;
    const std::vector<std::string_view> countWords = words(lines[0].text);
    if (countWords.size() == 1)
        count = toInt(countWords[0]).value_or(-1);
    if (count >= 0) {
        first = 1;
    } else if (countWords.size() >= 3) {
        tree.addProblem(
            fmt::format("line {}: there is no node count; this line is read as a node", lines[0].number));
    } else {
        tree.addProblem(fmt::format("line {}: \"{}\" is not a node count; every line after it is read",
                                    lines[0].number, shown(lines[0].text)));
        first = 1;
    }

    // For each number: the node (null for a line that could not be read), the number of the folder
    // that takes children pointing at it, its depth and its parent's number.
    struct Entry {
        Node* node;
        int folder;
        int depth;
        int parent;
    };
    std::vector<Entry> entries{{&tree.m_root, 0, 0, -1}};
    entries.reserve(std::min<std::size_t>(lines.size(), kMaxNodes) + 1);
    for (std::size_t i = first; i < lines.size(); ++i) {
        const int number = static_cast<int>(entries.size());
        const int lineNumber = lines[i].number;
        if (number > kMaxNodes) {
            tree.addProblem(
                fmt::format("line {}: this line and the {} after it exceed {} nodes and are not read",
                            lineNumber, lines.size() - i - 1, kMaxNodes));
            break;
        }
        const NodeLine line = readNodeLine(lines[i].text);
        const bool knownParent = line.parent && *line.parent >= 0 && *line.parent < number;
        const int fallback = knownParent ? entries[*line.parent].folder : 0;
        if (!line.readable) {
            tree.addProblem(fmt::format("line {}: {}; not read", lineNumber, line.problem));
            entries.push_back({nullptr, fallback, 0, -1});
            continue;
        }
        int kind = *line.kind;
        if (kind == Folder + 1 || kind == Host + 1) {
            // The selected pictures of the two kinds.
            tree.addProblem(
                fmt::format("line {}: picture kind {} is read as {}", lineNumber, kind, kind - 1));
            --kind;
        } else if (kind != Folder && kind != Host) {
            tree.addProblem(
                fmt::format("line {}: the picture kind {} is unknown; not read", lineNumber, kind));
            entries.push_back({nullptr, fallback, 0, -1});
            continue;
        }
        if (!line.problem.empty())
            tree.addProblem(fmt::format("line {}: {}", lineNumber, line.problem));

        int parent = fallback;
        if (!knownParent) {
            tree.addProblem(
                fmt::format("line {}: the parent {} is not an earlier node; placed under the root",
                            lineNumber, line.parent.value_or(0)));
        } else if (entries[*line.parent].node && !entries[*line.parent].node->isFolder()) {
            tree.addProblem(fmt::format("line {}: the parent {} is a host; placed in the host's folder",
                                        lineNumber, *line.parent));
        }
        if (entries[parent].depth >= kMaxDepth) {
            tree.addProblem(fmt::format("line {}: nested deeper than {} folders; placed at that depth",
                                        lineNumber, kMaxDepth));
            parent = entries[parent].parent;
        }
        const QByteArray label(line.label.data(), static_cast<int>(line.label.size()));
        Node& node = entries[parent].node->appendChild(label, kind);
        const int depth = entries[parent].depth + 1;
        entries.push_back({&node, kind == Folder ? number : parent, depth, parent});
    }
    const int nodesInFile = static_cast<int>(entries.size()) - 1;
    if (count >= 0 && count != nodesInFile)
        tree.addProblem(fmt::format("line {}: the count says {} nodes, but {} lines follow", lines[0].number,
                                    count, nodesInFile));
    for (const Entry& entry : entries) {
        if (entry.node && entry.node->isFolder())
            sortChildren(*entry.node);
    }
    return tree;
}

}  // namespace velkin
