#pragma once

#include <QImage>
#include <QPointer>
#include <QScrollArea>

#include "ChartText.h"
#include "Command.h"
#include "ScreenDispatcher.h"
#include "SessionCommands.h"
#include "session/Selection.h"

namespace velkin {

class BackgroundWork;
class CSorvaneDoc;
class Operator;
class ViewHost;

/// The chart view of the right pane for every node that is not a table: the disk usage of the server
/// or of a database, and the grant rows of a database or of the whole server, as the session's chart
/// kind says. The chart is surveyed when the view is first painted and kept: the survey sends a status
/// statement per database or table, beside the window's thread with "Stop" on the view, and the
/// chart is painted from what it read; a paint never sends a statement. Each selection in the tree
/// makes a new view, which surveys afresh. A chart of grants is surveyed afresh too when a screen
/// that can change grants has closed.
class CDbGraphView : public QScrollArea, public CommandTarget {
    Q_OBJECT
public:
    /// The chart is of the kind and database chosen when the view is made.
    CDbGraphView(CSorvaneDoc& doc, Operator& op, ViewHost& host, QWidget* parent = nullptr);
    ~CDbGraphView() override;

    ViewKind viewKind() const override { return ViewKind::Chart; }
    Selection selection() const override { return m_chosen; }
    CLeftView* objectTree() override;
    CSorvaneView* recordListView() override { return nullptr; }
    ScreenDispatcher& screens() override { return m_screens; }
    SessionCommands& sessionCommands() override { return m_commands; }

    /// Sets the logical size to 80 × 80 until the chart is drawn.
    void initialUpdate();
    /// The document's change notices leave the chart as it is; the view only repaints.
    void refresh();

    /// The chart of the session's kind, surveyed on first use and kept from then on.
    const QImage& picture();
    /// Whether the survey has run and the chart is painted from its figures.
    bool surveyed() const { return m_drawn; }
    /// What the chart holds, once surveyed.
    const ChartLayout& layout() const { return m_layout; }
    /// The size the view scrolls over: 800 wide and as tall as the chart.
    QSize logicalSize() const;

private:
    class Canvas;

    /// Asks for a survey once the paint under way is over.
    void surveyLater();
    void survey();

    CSorvaneDoc& m_doc;
    ViewHost& m_host;
    const Selection m_chosen;
    ScreenDispatcher m_screens;
    SessionCommands m_commands;
    Canvas* m_canvas;
    /// Shown while the survey runs.
    QWidget* m_stop;
    /// The survey under way; it belongs to the survey, so that a view retired meanwhile goes freely.
    QPointer<BackgroundWork> m_survey;
    ChartLayout m_layout;
    QImage m_picture;
    bool m_drawn = false;
    bool m_drawing = false;
    bool m_surveyAsked = false;
};

}  // namespace velkin
