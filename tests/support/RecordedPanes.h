#pragma once

#include <map>
#include <utility>
#include <vector>

#include "session/StatusPanes.h"

namespace velkin::test {

/// A status bar that remembers what was written to each pane.
struct RecordedPanes : StatusPanes {
    void setPaneText(int pane, const QString& text) override {
        texts[pane] = text;
        history.emplace_back(pane, text);
    }
    void setPaneFixed(int pane, int width) override { widths[pane] = width; }
    void setSecurityText(const QString& text) override { security = text; }
    std::map<int, QString> texts;
    /// Every text in the order written.
    std::vector<std::pair<int, QString>> history;
    QString security;
    std::map<int, int> widths;
};

}  // namespace velkin::test
