#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

#include "session/Operator.h"

namespace velkin::test {

/// The person at the screen, played from a script: records every message and question, answers
/// questions and nested dialogs from queues, and never blocks.
class ScriptedOperator : public Operator {
public:
    struct Message {
        QString text;
        QString caption;
        MessageIcon icon;
        /// For a question: whether its default button (the one Enter presses) is No.
        bool defaultNo = false;
    };

    using Operator::ask;
    using Operator::inform;
    void inform(const QString& text, const QString& caption, MessageIcon icon) override;
    bool ask(const QString& text, const QString& caption) override;
    bool askDefaultNo(const QString& text, const QString& caption) override;
    int runModal(QDialog& dialog) override;
    QString chooseOpenFile(QWidget* parent, const QString& caption, const QString& filter) override;
    QString chooseSaveFile(QWidget* parent, const QString& caption, const QString& filter) override;
    QString chooseFolder(QWidget* parent, const QString& caption) override;
    bool chooseFont(QWidget* parent, QFont& font) override;
    void beginWait() override { ++waitDepth; }
    void endWait() override { --waitDepth; }

    /// Queues the answer to the next question (true = Yes).
    void answer(bool yes) { answers.push_back(yes); }
    /// Queues what the next modal dialog does: fill it, then return its result code.
    void onModal(std::function<int(QDialog&)> handler) { modalHandlers.push_back(std::move(handler)); }
    /// Queues the next file, folder or font chooser's answer.
    void choose(const QString& path) { chosen.push_back(path); }

    /// Texts of all messages so far, in order.
    QStringList messageTexts() const;
    void clear();

    std::vector<Message> messages;
    std::vector<Message> questions;
    std::deque<bool> answers;
    /// Answer given when the queue is empty.
    bool defaultAnswer = false;
    std::deque<std::function<int(QDialog&)>> modalHandlers;
    /// Titles of the dialogs that were run, in order.
    QStringList modalTitles;
    std::deque<QString> chosen;
    int waitDepth = 0;
};

}  // namespace velkin::test
