#include "WorkButtons.h"

#include <QPushButton>

#include "session/BackgroundWork.h"
#include "session/Operator.h"

namespace velkin {

void bindStopButton(BackgroundWork& work, QPushButton* button, std::function<void()> idleClick,
                    std::vector<QWidget*> blocked) {
    const QString idleText = button->text();
    QObject::connect(button, &QPushButton::clicked, button, [&work, idleClick = std::move(idleClick)] {
        if (work.running())
            work.stop();
        else
            idleClick();
    });
    QObject::connect(&work, &BackgroundWork::runningChanged, button,
                     [button, idleText, blocked = std::move(blocked)](bool running) {
                         for (QWidget* widget : blocked)
                             widget->setEnabled(!running);
                         button->setText(running ? QStringLiteral("Stop") : idleText);
                         button->setObjectName(button->text());
                     });
}

bool keepOpenForWork(BackgroundWork& work, Operator& op, const QString& what) {
    if (!work.running())
        return false;
    if (op.ask(what + QStringLiteral(" is running. May I stop it?")))
        work.stop();
    return true;
}

}  // namespace velkin
