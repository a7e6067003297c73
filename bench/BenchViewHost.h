#pragma once

#include <chrono>
#include <optional>

#include "BenchSupport.h"
#include "views/CSorvaneView.h"
#include "views/ViewHost.h"

namespace velkin::bench {

/// The main window as the record list sees it, holding nothing but the list itself: the benchmark
/// fills the list as the tree's selection of a table would, without the rest of the window.
/// A status bar that notes when the list starts counting the rows of a page it has already shown.
class CountWatchPanes : public SilentPanes {
public:
    QObject* showWork(BackgroundWork* work, const QString& what) override {
        if (work && what.startsWith(QStringLiteral("Counting")))
            shownBeforeCount = std::chrono::steady_clock::now();
        return nullptr;
    }
    std::optional<std::chrono::steady_clock::time_point> shownBeforeCount;
};

class BenchViewHost : public ViewHost {
public:
    void showChartView() override {}
    void showRecordList() override {}
    CSorvaneView* recordList() override { return m_list; }
    CLeftView* objectTree() override { return nullptr; }
    void updateAllViews() override {
        if (m_list)
            m_list->refresh();
    }
    StatusPanes& statusPanes() override { return m_panes; }
    void setRecordList(CSorvaneView* list) { m_list = list; }

private:
public:
    CountWatchPanes m_panes;

private:
    CSorvaneView* m_list = nullptr;
};

}  // namespace velkin::bench
