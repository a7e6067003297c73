#include "WorkButtons.h"

#include <QLineEdit>
#include <QPushButton>
#include <cstdlib>

#include "RowCopy.h"

#include "session/BackgroundWork.h"
#include "session/Operator.h"
#include "widgets/WorkProgress.h"

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

void showCopyProgress(RowCopy& copy, WorkControl& control, WorkProgress& progress, QLineEdit* original,
                      QLineEdit* copied) {
    // Without a field for it the source is not counted: at a million rows a count costs the server
    // a tenth of the copy.
    if (original)
        copy.onOriginalCount([&control, &progress, original](const std::string& count) {
            control.post([&progress, original, count] {
                original->setText(QString::fromStdString(count));
                progress.setTotal(std::strtoull(count.c_str(), nullptr, 10), false);
            });
        });
    copy.onProgress([&control, &progress, copied](long long rows) {
        control.post([&progress, copied, rows] {
            if (copied)
                copied->setText(QString::number(rows));
            progress.advance(static_cast<std::uint64_t>(rows));
        });
    });
}

}  // namespace velkin
