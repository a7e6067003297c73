#include "ScriptedOperator.h"

#include <QDialog>
#include <QFont>

namespace velkin::test {

void ScriptedOperator::inform(const QString& text, const QString& caption, MessageIcon icon) {
    messages.push_back({text, caption, icon});
}

bool ScriptedOperator::ask(const QString& text, const QString& caption) {
    questions.push_back({text, caption, MessageIcon::Question});
    if (answers.empty())
        return defaultAnswer;
    bool yes = answers.front();
    answers.pop_front();
    return yes;
}

bool ScriptedOperator::askDefaultNo(const QString& text, const QString& caption) {
    const bool yes = ask(text, caption);
    questions.back().defaultNo = true;
    return yes;
}

int ScriptedOperator::runModal(QDialog& dialog) {
    modalTitles << dialog.windowTitle();
    if (modalHandlers.empty())
        return QDialog::Rejected;
    auto handler = std::move(modalHandlers.front());
    modalHandlers.pop_front();
    int result = handler(dialog);
    dialog.setResult(result);
    return result;
}

namespace {
QString take(std::deque<QString>& q) {
    if (q.empty())
        return {};
    QString s = q.front();
    q.pop_front();
    return s;
}
}  // namespace

QString ScriptedOperator::chooseOpenFile(QWidget*, const QString&, const QString&) {
    return take(chosen);
}
QString ScriptedOperator::chooseSaveFile(QWidget*, const QString&, const QString&) {
    return take(chosen);
}
QString ScriptedOperator::chooseFolder(QWidget*, const QString&) {
    return take(chosen);
}

bool ScriptedOperator::chooseFont(QWidget*, QFont& font) {
    QString family = take(chosen);
    if (family.isEmpty())
        return false;
    font.setFamily(family);
    return true;
}

QStringList ScriptedOperator::messageTexts() const {
    QStringList list;
    for (const auto& m : messages)
        list << m.text;
    return list;
}

void ScriptedOperator::clear() {
    messages.clear();
    questions.clear();
    answers.clear();
    modalHandlers.clear();
    modalTitles.clear();
    chosen.clear();
}

}  // namespace velkin::test
