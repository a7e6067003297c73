#include "CMainFrame.h"

#include "session/CSorvaneDoc.h"
#include "session/Operator.h"
#include "session/SqlText.h"

namespace velkin {

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(appTitle());
    m_status = std::make_unique<StatusBar>(statusBar());
    m_summary = new QLabel(this);
    m_summary->setAlignment(Qt::AlignCenter);
    setCentralWidget(m_summary);
    setGeometry(0, 0, 640, 480);
}

void CMainFrame::showSession(const CSorvaneDoc& doc) {
    Connection* c = doc.connection();
    if (!c || !c->isOpen()) {
        m_summary->setText(QStringLiteral("It does not connect."));
        return;
    }
    m_summary->setText(textf("%s@%s:%s\nServer %s\nClient %s", u8(doc.m_loginName), u8(doc.m_hostName),
                             u8(doc.m_portText), c->serverInfo(), Connection::clientInfo()));
}

}  // namespace velkin
