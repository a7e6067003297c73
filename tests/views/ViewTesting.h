#pragma once

#include <memory>

#include "session/CSorvaneDoc.h"
#include "support/RecordedPanes.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"
#include "views/CDbGraphView.h"
#include "views/CSorvaneView.h"
#include "views/ViewHost.h"

namespace velkin::test {

/// The browsing state that selecting a table node in the tree leaves.
inline void selectTable(CSorvaneDoc& doc, const QString& database, const QString& table) {
    doc.select(Selection{database, table, table, NodeKind::Table, ChartKind::None});
}

/// The main window as the views see it: exchanges the right pane and keeps a status bar.
class TestViewHost : public ViewHost {
public:
    TestViewHost(CSorvaneDoc& doc, Operator& op) : m_doc(doc), m_op(op) {}

    void showChartView() override {
        ++chartShows;
        m_list.reset();
        m_chart = std::make_unique<CDbGraphView>(m_doc, m_op, *this);
        m_chart->initialUpdate();
    }
    void showRecordList() override {
        ++listShows;
        m_chart.reset();
        m_list = std::make_unique<CSorvaneView>(m_doc, m_op, *this);
        m_list->initialUpdate();
    }
    CSorvaneView* recordList() override { return m_list.get(); }
    CLeftView* objectTree() override { return tree; }
    /// Selects the table as the tree does: a new list with its initial update, then the update of
    /// all views.
    CSorvaneView& showTable(const QString& database, const QString& table) {
        selectTable(m_doc, database, table);
        showRecordList();
        updateAllViews();
        return *m_list;
    }
    CDbGraphView* chartView() { return m_chart.get(); }
    void updateAllViews() override {
        ++updates;
        if (m_list)
            m_list->refresh();
        if (m_chart)
            m_chart->refresh();
    }
    StatusPanes& statusPanes() override { return panes; }

    RecordedPanes panes;
    /// The tree beside the views, where a test has one.
    CLeftView* tree = nullptr;
    int chartShows = 0;
    int listShows = 0;
    int updates = 0;

private:
    CSorvaneDoc& m_doc;
    Operator& m_op;
    std::unique_ptr<CSorvaneView> m_list;
    std::unique_ptr<CDbGraphView> m_chart;
};

/// A login that always answers with one account.
inline LoginPrompt loginAs(const Account& account) {
    return [account](const QString&, const QString&) -> std::optional<LoginValues> {
        return LoginValues{QString::fromStdString(account.user), QString::fromStdString(account.password),
                           QString::fromStdString(testHost()), QString::number(testPort())};
    };
}

}  // namespace velkin::test
