#include <QApplication>

#include "CMainFrame.h"
#include "DesktopOperator.h"
#include "profiles/LoginDialog.h"
#include "session/CSorvaneDoc.h"
#include "session/Connection.h"
#include "widgets/Pictures.h"

using namespace velkin;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setWindowIcon(applicationIcon());
    DesktopOperator op;
    if (!Connection::initLibrary()) {
        op.inform(QString::fromUtf8("Windows ｿｹｯﾄの初期化に失敗しました。"));
        return 1;
    }

    int code = 0;
    {
        CSorvaneDoc doc(op, makeLoginPrompt(op, nullptr));
        CMainFrame frame(doc, op);
        op.setWindow(&frame);
        doc.setStatusPanes(&frame.statusPanes());
        frame.initialUpdate();
        frame.showRestored();
        code = app.exec();
    }
    Connection::endLibrary();
    return code;
}
