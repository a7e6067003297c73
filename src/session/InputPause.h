#pragma once

#include <QObject>
#include <QPointer>

namespace velkin {

/// Holds the person's input away from the windows while work beside the window's thread holds the
/// session's connection from a screen that is not modal: the tree and the menus would otherwise send
/// their statements on it meanwhile. Painting and timers go on, and so does the one widget left open
/// (the work's Stop), if any.
class InputPause : public QObject {
public:
    explicit InputPause(QObject* open = nullptr);
    ~InputPause() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QObject> m_open;
};

}  // namespace velkin
