#pragma once

#include <QString>

class QObject;

namespace velkin {

class BackgroundWork;

/// The pane that tells which records the record list shows; the message pane's prompts and idle
/// text never write it.
inline constexpr int kRecordPane = 4;

/// The main window's status bar as the session and the views write it: panes by number.
class StatusPanes {
public:
    virtual ~StatusPanes() = default;
    virtual void setPaneText(int pane, const QString& text) = 0;
    /// Gives a pane a fixed width and a raised look; it then no longer follows a key state.
    virtual void setPaneFixed(int pane, int width) = 0;
    /// Whether the connection is encrypted and with which cipher; a bar without room for it ignores it.
    virtual void setSecurityText(const QString& text) { (void)text; }
    /// While work reads for the main window: what it does, and a Stop for it once it takes a while;
    /// null hides both. Answers the Stop, which input held off the window must still reach.
    virtual QObject* showWork(BackgroundWork* work, const QString& what) {
        (void)work;
        (void)what;
        return nullptr;
    }
};

}  // namespace velkin
