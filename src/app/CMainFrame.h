#pragma once

#include <QLabel>
#include <QMainWindow>
#include <memory>

#include "StatusBar.h"

namespace velkin {

class CSorvaneDoc;

/// The main window: status bar panes and the server the session is connected to.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);

    StatusBar& statusPanes() { return *m_status; }
    /// Shows what the session is connected to.
    void showSession(const CSorvaneDoc& doc);

private:
    std::unique_ptr<StatusBar> m_status;
    QLabel* m_summary;
};

}  // namespace velkin
