#pragma once

#include <QWidget>

#include "Command.h"
#include "SessionCommands.h"

namespace velkin {

class CSorvaneDoc;
class Operator;
class ViewHost;

/// The chart view of the right pane for every node that is not a table.
class CDbGraphView : public QWidget, public CommandTarget {
    Q_OBJECT
public:
    CDbGraphView(CSorvaneDoc& doc, Operator& op, ViewHost& host, QWidget* parent = nullptr);

    ViewKind viewKind() const override { return ViewKind::Chart; }
    void execute(Command command) override;

    void initialUpdate();
    /// Redraws from the session's chart kind.
    void refresh();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CSorvaneDoc& m_doc;
    ViewHost& m_host;
    SessionCommands m_commands;
};

}  // namespace velkin
