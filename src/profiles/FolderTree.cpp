#include "FolderTree.h"

#include <fmt/printf.h>

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>

#include "ProfileLabel.h"

namespace velkin {

namespace {

int countBelow(const FolderTree::Node& node) {
    int count = 0;
    for (const auto& child : node.children)
        count += 1 + countBelow(*child);
    return count;
}

void writeLines(const FolderTree::Node& node, int number, int& lastNumber, std::string& text) {
    for (const auto& child : node.children) {
        const std::string label = leftCharacters(child->label, kMaxLabelLength).toStdString();
        text += fmt::sprintf("%d %d %s %d\r\n", number, child->kind, label, -1);
        const int childNumber = ++lastNumber;
        writeLines(*child, childNumber, lastNumber, text);
    }
}

/// The lines of text without their ends; a CR before the LF belongs to the line end.
std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        if (lf == std::string_view::npos)
            break;
        text.remove_prefix(lf + 1);
    }
    return lines;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

bool isControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == '\x7f';
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

}  // namespace

FolderTree::Node& FolderTree::Node::addChild(const QString& childLabel, int childKind) {
    auto child = std::make_unique<Node>();
    child->label = childLabel;
    child->kind = childKind;
    // After the last sibling that does not sort after the new one, so equal labels keep their order.
    const auto position = std::upper_bound(children.begin(), children.end(), childLabel,
                                           [](const QString& label, const std::unique_ptr<Node>& sibling) {
                                               return labelSortsBefore(label, sibling->label);
                                           });
    return **children.insert(position, std::move(child));
}

FolderTree::FolderTree() {
    m_root.label = rootLabel();
}

int FolderTree::nodeCount() const {
    return 1 + countBelow(m_root);
}

std::string FolderTree::toText() const {
    std::string text = fmt::sprintf("%d\r\n", nodeCount() - 1);
    int lastNumber = 0;
    writeLines(m_root, 0, lastNumber, text);
    return text;
}

FolderTree FolderTree::fromText(std::string_view text) {
    FolderTree tree;
    const std::vector<std::string_view> lines = splitLines(text);
    if (lines.empty())
        return tree;
    const std::vector<std::string_view> countWords = words(lines[0]);
    const std::optional<int> count = countWords.size() == 1 ? toInt(countWords[0]) : std::nullopt;
    if (!count)
        return tree;

    // numbered[n] is node number n; the root is 0.
    std::vector<Node*> numbered{&tree.m_root};
    for (int i = 1; i <= *count && i < static_cast<int>(lines.size()); ++i) {
        const std::vector<std::string_view> fields = words(lines[i]);
        if (fields.size() != 4)
            break;
        const std::optional<int> parent = toInt(fields[0]);
        const std::optional<int> kind = toInt(fields[1]);
        if (!parent || !kind || !toInt(fields[3]))
            break;
        if (*kind != Folder && *kind != Host)
            break;
        if (*parent < 0 || *parent >= static_cast<int>(numbered.size()))
            break;
        if (!numbered[*parent]->isFolder())
            break;
        if (std::any_of(fields[2].begin(), fields[2].end(), isControl))
            break;
        const QString label = QString::fromUtf8(fields[2].data(), static_cast<int>(fields[2].size()));
        numbered.push_back(&numbered[*parent]->addChild(leftCharacters(label, kMaxLabelLength), *kind));
    }
    return tree;
}

bool FolderTree::save(const std::string& path) const {
    // Written aside and renamed over the old file, so a failed write never loses the saved tree.
    QSaveFile file(QString::fromStdString(path));
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const std::string text = toText();
    if (file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

FolderTree FolderTree::load(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return FolderTree();
    const QByteArray text = file.readAll();
    return fromText(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
}

}  // namespace velkin
