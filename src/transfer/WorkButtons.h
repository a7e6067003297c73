#pragma once

#include <QString>
#include <functional>
#include <vector>

class QLineEdit;
class QPushButton;
class QWidget;

namespace velkin {

class BackgroundWork;
class Operator;
class RowCopy;
class WorkControl;
class WorkProgress;

/// Makes button the work's Stop while it runs (text and object name "Stop", its own again
/// afterwards): a click then stops the work and otherwise does idleClick. The blocked widgets are
/// disabled while the work runs, so that no click starts it again or reaches its connections.
void bindStopButton(BackgroundWork& work, QPushButton* button, std::function<void()> idleClick,
                    std::vector<QWidget*> blocked);

/// Closing a screen while its work runs: asks "<what> is running. May I stop it?" and stops it on
/// Yes. True while the work runs, when the screen must stay open until it has ended.
bool keepOpenForWork(BackgroundWork& work, Operator& op, const QString& what);

/// Shows a running row copy's figures on the window's thread: the source's count in original and as
/// the bar's total, the rows landed so far in copied and on the bar. Without original the copy is
/// not asked to count its source; copied may be null.
void showCopyProgress(RowCopy& copy, WorkControl& control, WorkProgress& progress, QLineEdit* original,
                      QLineEdit* copied);

}  // namespace velkin
