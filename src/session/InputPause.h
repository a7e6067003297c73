#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

namespace velkin {

/// Holds the person's input away from the windows while work beside the window's thread holds the
/// session's connection from a screen that is not modal: the tree and the menus would otherwise send
/// their statements on it meanwhile. Painting and timers go on, and so does the one widget left open
/// (the work's Stop), if any.
class InputPause : public QObject {
public:
    /// closeAsked, when given, is called for a window that is asked to close meanwhile (the close
    /// itself is held off either way).
    explicit InputPause(QObject* open = nullptr, std::function<void()> closeAsked = {});
    ~InputPause() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QObject> m_open;
    std::function<void()> m_closeAsked;
};

}  // namespace velkin
