#include <QAbstractItemView>
#include <QCompleter>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStringListModel>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>

#include "ConsoleNames.h"
#include "SqlConsoleDialog.h"
#include "session/Connection.h"
#include "session/SqlText.h"

// The console's name completion: Ctrl+Space, and a point typed after a name.

namespace velkin {

void SqlConsoleDialog::buildCompletion() {
    m_names = std::make_unique<NameCatalog>();
    m_completionModel = new QStringListModel(this);
    m_completer = new QCompleter(m_completionModel, this);
    m_completer->setWidget(m_query);
    m_completer->setCompletionMode(QCompleter::PopupCompletion);
    m_completer->setCaseSensitivity(Qt::CaseInsensitive);
    // The list is kept sorted, so the completer finds what is typed by halving, also among
    // thousands of tables.
    m_completer->setModelSorting(QCompleter::CaseInsensitivelySortedModel);
    m_completer->setMaxVisibleItems(12);
    m_completer->popup()->setObjectName(QStringLiteral("Names"));
    // Installed after the completer's own filter, so it sees Enter before the completer hands it on to
    // the query box, which would take it as a line break.
    m_completer->popup()->installEventFilter(this);
    connect(m_completer, qOverload<const QString&>(&QCompleter::activated), this,
            &SqlConsoleDialog::insertCompletion);
    connect(m_query, &QPlainTextEdit::cursorPositionChanged, this, &SqlConsoleDialog::followCompletion);
    connect(m_query->document(), &QTextDocument::contentsChange, this,
            [this](int at, int removed, int added) {
                if (removed != 0 || added != 1 || m_query->document()->characterAt(at) != '.')
                    return;
                // A point typed after a name asks for what that name holds, once the key has been handled.
                QTimer::singleShot(0, this, [this] { completeName(false); });
            });
}

void SqlConsoleDialog::completeName(bool asked) {
    const NamePlace place = namePlace(m_query->toPlainText(), m_query->textCursor().position());
    if (!asked && place.qualifiers.empty())
        return;
    std::optional<std::vector<std::string>> names = m_names->candidates(place.qualifiers, nullptr);
    // What is not known yet is read once, beside the window; while statements run the connection is
    // theirs, and the completion offers only what was read before.
    if (!names && !m_work.running())
        names =
            besideWindow(m_connection, [&] { return m_names->candidates(place.qualifiers, &m_connection); });
    if (!names || names->empty()) {
        m_completer->popup()->hide();
        return;
    }
    QStringList list;
    list.reserve(static_cast<int>(names->size()));
    for (const std::string& name : *names)
        list << qs(name);
    list.sort(Qt::CaseInsensitive);
    list.removeDuplicates();
    m_completionModel->setStringList(list);
    // The popup's own measure asks the delegate about every row; the names' widths are measured once.
    const QFontMetrics metrics(m_completer->popup()->font());
    m_completionWidth = 0;
    for (const QString& name : list)
        m_completionWidth = std::max(m_completionWidth, metrics.horizontalAdvance(name));
    m_completionQualifiers = place.qualifiers;
    m_completionStart = place.start;
    showCompletion(place.typed);
}

void SqlConsoleDialog::showCompletion(const QString& typed) {
    m_completer->setCompletionPrefix(typed);
    if (m_completer->completionCount() == 0) {
        m_completer->popup()->hide();
        return;
    }
    QAbstractItemView* popup = m_completer->popup();
    QRect at = m_query->cursorRect();
    at.setWidth(m_completionWidth + popup->verticalScrollBar()->sizeHint().width() + 16);
    m_completer->complete(at);
    popup->setCurrentIndex(m_completer->completionModel()->index(0, 0));
}

void SqlConsoleDialog::followCompletion() {
    QAbstractItemView* popup = m_completer->popup();
    if (!popup->isVisible())
        return;
    // The list narrows as the name is typed and goes when the cursor leaves the name.
    const NamePlace place = namePlace(m_query->toPlainText(), m_query->textCursor().position());
    if (place.start != m_completionStart || place.qualifiers != m_completionQualifiers) {
        popup->hide();
        return;
    }
    showCompletion(place.typed);
}

void SqlConsoleDialog::insertCompletion(const QString& name) {
    m_completer->popup()->hide();
    QTextCursor cursor = m_query->textCursor();
    const NamePlace place = namePlace(m_query->toPlainText(), cursor.position());
    cursor.setPosition(place.start, QTextCursor::KeepAnchor);
    cursor.insertText(qs(quoteName(m_connection, u8(name))));
    m_query->setTextCursor(cursor);
}

bool SqlConsoleDialog::completionKey(QKeyEvent* key) {
    QAbstractItemView* popup = m_completer->popup();
    if (!popup->isVisible())
        return false;
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Tab: {
            const QModelIndex chosen = popup->currentIndex();
            popup->hide();
            if (chosen.isValid())
                insertCompletion(chosen.data().toString());
            return true;
        }
        default:
            return false;
    }
}

}  // namespace velkin
