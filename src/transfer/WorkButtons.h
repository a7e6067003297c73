#pragma once

#include <QString>
#include <functional>
#include <vector>

class QPushButton;
class QWidget;

namespace velkin {

class BackgroundWork;
class Operator;

/// Makes button the work's Stop while it runs (text and object name "Stop", its own again
/// afterwards): a click then stops the work and otherwise does idleClick. The blocked widgets are
/// disabled while the work runs, so that no click starts it again or reaches its connections.
void bindStopButton(BackgroundWork& work, QPushButton* button, std::function<void()> idleClick,
                    std::vector<QWidget*> blocked);

/// Closing a screen while its work runs: asks "<what> is running. May I stop it?" and stops it on
/// Yes. True while the work runs, when the screen must stay open until it has ended.
bool keepOpenForWork(BackgroundWork& work, Operator& op, const QString& what);

}  // namespace velkin
