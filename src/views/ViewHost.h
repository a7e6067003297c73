#pragma once

namespace velkin {

class CLeftView;
class CSorvaneView;
class StatusPanes;

/// What the views ask of the main window that holds them.
class ViewHost {
public:
    virtual ~ViewHost() = default;
    /// Replaces the right pane by a new chart view, which gets its initial update.
    virtual void showChartView() = 0;
    /// Replaces the right pane by a new record list, which gets its initial update.
    virtual void showRecordList() = 0;
    /// The record list in the right pane, or null while the chart view is shown.
    virtual CSorvaneView* recordList() = 0;
    /// The object tree beside the right pane; null where the views are used without one.
    virtual CLeftView* objectTree() = 0;
    /// Makes the right pane's view redraw from the session's state.
    virtual void updateAllViews() = 0;
    virtual StatusPanes& statusPanes() = 0;
};

}  // namespace velkin
