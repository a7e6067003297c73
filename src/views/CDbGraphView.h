#pragma once

#include <QImage>
#include <QScrollArea>

#include "ChartText.h"
#include "Command.h"
#include "ScreenDispatcher.h"
#include "SessionCommands.h"

namespace velkin {

class CSorvaneDoc;
class Operator;
class ViewHost;

/// The chart view of the right pane for every node that is not a table: the disk usage of the server
/// or of a database, and the grant rows of a database or of the whole server, as the session's chart
/// kind says. The chart is drawn when the view is first painted and kept: drawing sends a status
/// statement per database or table, and each selection in the tree makes a new view, which draws
/// afresh. A chart of grants is drawn afresh too when a screen that can change grants has closed.
class CDbGraphView : public QScrollArea, public CommandTarget {
    Q_OBJECT
public:
    /// The chart asks nothing of the window that holds it; the host is taken as every view takes it.
    CDbGraphView(CSorvaneDoc& doc, Operator& op, ViewHost& host, QWidget* parent = nullptr);

    ViewKind viewKind() const override { return ViewKind::Chart; }
    void execute(Command command) override;

    /// Sets the logical size to 80 × 80 until the chart is drawn.
    void initialUpdate();
    /// The document's change notices leave the chart as it is; the view only repaints.
    void refresh();

    /// The chart of the session's kind, drawn on first use and kept from then on.
    const QImage& picture();
    /// What the chart holds, once drawn.
    const ChartLayout& layout() const { return m_layout; }
    /// The size the view scrolls over: 800 wide and as tall as the chart.
    QSize logicalSize() const;

private:
    class Canvas;

    void draw();

    CSorvaneDoc& m_doc;
    ScreenDispatcher m_screens;
    SessionCommands m_commands;
    Canvas* m_canvas;
    ChartLayout m_layout;
    QImage m_picture;
    bool m_drawn = false;
    bool m_drawing = false;
};

}  // namespace velkin
