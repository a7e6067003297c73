#include <QApplication>
#include <QSettings>

#include "CMainFrame.h"
#include "DesktopOperator.h"
#include "profiles/LoginDialog.h"
#include "session/CSorvaneDoc.h"
#include "session/Connection.h"
#include "session/KeepAlive.h"

using namespace velkin;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QCoreApplication::setApplicationName(appTitle());
    DesktopOperator op;
    if (!Connection::initLibrary()) {
        op.inform(QString::fromUtf8("Windows ｿｹｯﾄの初期化に失敗しました。"));
        return 1;
    }

    CMainFrame frame;
    op.setWindow(&frame);
    CSorvaneDoc doc(op, makeLoginPrompt(op, nullptr), &frame.statusPanes());

    std::function<void()> connectSession;
    KeepAlive keepAlive(doc, [&] { connectSession(); });
    connectSession = [&] {
        doc.Connect();
        doc.m_currentPage = 0;
        frame.showSession(doc);
        keepAlive.start();
    };
    connectSession();

    frame.show();
    int code = app.exec();
    Connection::endLibrary();
    return code;
}
