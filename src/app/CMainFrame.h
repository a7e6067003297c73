#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <map>
#include <memory>
#include <vector>

#include "FindInList.h"
#include "StatusBar.h"
#include "session/LoginCycle.h"
#include "views/Command.h"
#include "views/ViewHost.h"

class QAction;
class QSplitter;
class QToolBar;

namespace velkin {

class CDbGraphView;
class CLeftView;
class CSorvaneDoc;
class FindDialog;
class Operator;
class Settings;

/// The main window: menus, tool bar, status bar, and a splitter with the object tree on the left
/// and the record list or the chart view on the right. Commands go to the active view.
class CMainFrame : public QMainWindow, public ViewHost {
    Q_OBJECT
public:
    CMainFrame(CSorvaneDoc& doc, Operator& op, QWidget* parent = nullptr);
    ~CMainFrame() override;

    /// The views' initial update: the tree (login and filling), then the right pane.
    void initialUpdate();
    /// Shows the window in the place and state the settings remember.
    void showRestored();

    // ViewHost
    void showChartView() override;
    void showRecordList() override;
    CSorvaneView* recordList() override;
    CLeftView* objectTree() override { return m_tree; }
    void updateAllViews() override;
    StatusPanes& statusPanes() override { return *m_status; }

    StatusBar& statusBarPanes() { return *m_status; }
    CLeftView& tree() { return *m_tree; }
    /// The check that finds a lost connection and logs in again.
    KeepAlive& keepAlive() { return m_login->keepAlive(); }
    LoginCycle& loginCycle() { return *m_login; }
    QSplitter* splitter() const { return m_splitter; }
    /// The tree pane's width; the operator drags it and the next start keeps it.
    int treeWidth() const;
    QWidget* rightView() const { return m_right; }
    CommandTarget* activeView() const;
    void setActiveView(bool tree);

    /// Carries a command out as its menu item, button or accelerator does.
    void runCommand(Command command);
    QAction* action(Command command) const;
    QToolBar* toolBar() const { return m_toolBar; }
    /// Enables each command as the active view decides.
    void refreshCommandStates();

    void openFind();
    FindDialog* findDialog() const;
    /// Searches the record list, or the tree's node labels while the tree is the active view.
    void findNext(const FindRequest& request);

    /// Writes the window's place and state to the settings.
    void saveWindowPlace();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void findInTree(const FindRequest& request);
    void buildActions();
    void buildMenus();
    void buildToolBar();
    void buildAccelerators();
    QAction* makeAction(Command command);
    void setRightView(QWidget* view);
    void retire(QWidget* view);
    void deleteRetiredViews();
    void focusChanged(QWidget* old, QWidget* now);
    void switchPane(bool forward);
    void restoreWindowPlace();
    void showIdlePrompt();

    CSorvaneDoc& m_doc;
    Operator& m_op;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<StatusBar> m_status;
    QSplitter* m_splitter = nullptr;
    CLeftView* m_tree = nullptr;
    std::unique_ptr<LoginCycle> m_login;
    QWidget* m_right = nullptr;
    /// Right views that were replaced and wait to be deleted (see retire()).
    std::vector<QPointer<QWidget>> m_retired;
    QTimer m_reaper;
    bool m_treeActive = true;
    QToolBar* m_toolBar = nullptr;
    std::map<Command, QAction*> m_actions;
    QPointer<FindDialog> m_find;
    QRect m_restoreRect;
    bool m_restoreMaximized = false;
    bool m_restoreMinimized = false;
    bool m_frameCorrected = false;
};

}  // namespace velkin
