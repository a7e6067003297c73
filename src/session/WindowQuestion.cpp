#include "WindowQuestion.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include "Operator.h"

namespace velkin {

SshQuestion windowQuestion(Operator& op) {
    return [&op](const std::string& question) {
        const QString text = QString::fromStdString(question);
        QCoreApplication* app = QCoreApplication::instance();
        if (!app || QThread::currentThread() == app->thread())
            return op.askDefaultNo(text);
        bool yes = false;
        // The window's thread runs a local event loop while a login connects, so it takes this at once.
        QMetaObject::invokeMethod(
            app, [&] { yes = op.askDefaultNo(text); }, Qt::BlockingQueuedConnection);
        return yes;
    };
}

}  // namespace velkin
