#pragma once

#include <QDialog>
#include <functional>
#include <mutex>

#include "MonitorText.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace velkin {

class BackgroundWork;
class Connection;
class Operator;

/// The details of one client thread of the server, from which its statement or its whole connection
/// can be stopped, each after a question that names the thread.
class ProcessDetailsDialog : public QDialog {
    Q_OBJECT
public:
    /// Reads the thread with this Id from the server's process list; the boxes stay empty when it
    /// has ended or the list cannot be read. The statements run beside the window's thread; turn,
    /// when given, is held meanwhile by whoever else talks on the connection from a worker.
    ProcessDetailsDialog(Connection& connection, Operator& op, long long processId, QWidget* parent = nullptr,
                         std::mutex* turn = nullptr);

    long long processId() const { return m_processId; }

private:
    void fill();
    /// Asks, naming the thread, then stops what was chosen and says how it went.
    void stopProcess(ProcessStop what);
    /// What the boxes show now, for the question.
    ProcessFacts shownProcess() const;
    /// A thread that was not found offers no stop, an idle one no statement stop; nothing while
    /// the dialog talks to the server.
    void enableStops();

    /// Runs call on the connection off the window's thread and returns once it has ended.
    void talk(const std::function<void()>& call);

    Connection& m_connection;
    Operator& m_op;
    std::mutex* m_turn;
    BackgroundWork* m_work;
    long long m_processId;
    /// "Process ID", "User name", ... "Status" in the order of the process list's fields.
    QList<QLineEdit*> m_boxes;
    /// "Infomation": the statement the thread runs, wrapped so that a long one reads whole.
    QPlainTextEdit* m_information = nullptr;
    QPushButton* m_stopStatement = nullptr;
    QPushButton* m_stopConnection = nullptr;
};

}  // namespace velkin
