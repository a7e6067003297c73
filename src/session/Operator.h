#pragma once

#include <QString>

class QDialog;
class QWidget;
class QFont;

namespace velkin {

/// The application title, the caption of every message that names no other.
inline QString appTitle() {
    return QStringLiteral("VelkinSorvane");
}

enum class MessageIcon { None, Information, Warning, Stop, Question };

/// The person at the screen. Every message, question, nested dialog and file or font choice goes
/// through here, so that screens never block a test and never open a message box themselves.
class Operator {
public:
    virtual ~Operator() = default;

    /// A modal message with an OK button.
    virtual void inform(const QString& text, const QString& caption, MessageIcon icon) = 0;
    void inform(const QString& text) { inform(text, appTitle(), MessageIcon::None); }
    void inform(const QString& text, const QString& caption) { inform(text, caption, MessageIcon::None); }

    /// A Yes/No question; true unless the answer is No.
    virtual bool ask(const QString& text, const QString& caption) = 0;
    bool ask(const QString& text) { return ask(text, appTitle()); }
    /// A Yes/No question whose default button is No, for a Yes that trusts something: Enter, or a
    /// hasty click on the default, declines. An operator without buttons answers it as ask().
    virtual bool askDefaultNo(const QString& text, const QString& caption) { return ask(text, caption); }
    bool askDefaultNo(const QString& text) { return askDefaultNo(text, appTitle()); }

    /// Runs a dialog modally and returns its result code.
    virtual int runModal(QDialog& dialog) = 0;

    /// File and folder choosers; an empty text when the person cancels.
    virtual QString chooseOpenFile(QWidget* parent, const QString& caption, const QString& filter) = 0;
    virtual QString chooseSaveFile(QWidget* parent, const QString& caption, const QString& filter) = 0;
    virtual QString chooseFolder(QWidget* parent, const QString& caption) = 0;
    /// Font chooser starting at font; true and font changed when the person accepts.
    virtual bool chooseFont(QWidget* parent, QFont& font) = 0;

    virtual void beginWait() = 0;
    virtual void endWait() = 0;
};

/// Shows the wait cursor for the life of the scope.
class WaitCursor {
public:
    explicit WaitCursor(Operator& op) : m_op(op) { m_op.beginWait(); }
    ~WaitCursor() { m_op.endWait(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    Operator& m_op;
};

}  // namespace velkin
