#include "SqlHighlighter.h"

namespace velkin {

namespace {

/// What a line leaves open for the next one.
enum State { Plain = 0, InComment = 1, InSingle = 2, InDouble = 3, InBacktick = 4 };

QChar closing(int state) {
    return state == InSingle ? QLatin1Char('\'') : state == InDouble ? QLatin1Char('"') : QLatin1Char('`');
}

bool wordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

}  // namespace

SqlHighlighter::SqlHighlighter(QTextDocument* document, std::function<bool(const QString&)> isKeyword)
    : QSyntaxHighlighter(document), m_isKeyword(std::move(isKeyword)) {
    m_keyword.setForeground(QColor(0, 0, 160));
    m_keyword.setFontWeight(QFont::Bold);
    m_text.setForeground(QColor(160, 0, 0));
    m_name.setForeground(QColor(0, 110, 110));
    m_comment.setForeground(QColor(110, 110, 110));
    m_comment.setFontItalic(true);
    m_number.setForeground(QColor(150, 0, 150));
}

void SqlHighlighter::highlightBlock(const QString& text) {
    const int n = static_cast<int>(text.size());
    int state = std::max(0, previousBlockState());
    int i = 0;
    // What the previous line left open goes on first.
    if (state == InComment) {
        const int end = static_cast<int>(text.indexOf(QStringLiteral("*/")));
        if (end < 0) {
            setFormat(0, n, m_comment);
            setCurrentBlockState(InComment);
            return;
        }
        setFormat(0, end + 2, m_comment);
        i = end + 2;
    } else if (state != Plain) {
        int j = 0;
        while (j < n && text[j] != closing(state))
            j += text[j] == QLatin1Char('\\') && state != InBacktick ? 2 : 1;
        setFormat(0, std::min(j + 1, n), state == InBacktick ? m_name : m_text);
        if (j >= n) {
            setCurrentBlockState(state);
            return;
        }
        i = j + 1;
    }
    state = Plain;
    while (i < n) {
        const QChar c = text[i];
        const QChar next = i + 1 < n ? text[i + 1] : QChar();
        if (c == QLatin1Char('#') ||
            (c == QLatin1Char('-') && next == QLatin1Char('-') && (i + 2 >= n || text[i + 2].isSpace()))) {
            setFormat(i, n - i, m_comment);
            break;
        }
        if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            const int end = static_cast<int>(text.indexOf(QStringLiteral("*/"), i + 2));
            if (end < 0) {
                setFormat(i, n - i, m_comment);
                state = InComment;
                break;
            }
            setFormat(i, end + 2 - i, m_comment);
            i = end + 2;
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`')) {
            const int quoteState = c == QLatin1Char('\'')  ? InSingle
                                   : c == QLatin1Char('"') ? InDouble
                                                           : InBacktick;
            int j = i + 1;
            while (j < n && text[j] != c)
                j += text[j] == QLatin1Char('\\') && quoteState != InBacktick ? 2 : 1;
            setFormat(i, std::min(j + 1, n) - i, quoteState == InBacktick ? m_name : m_text);
            if (j >= n) {
                state = quoteState;
                break;
            }
            i = j + 1;
            continue;
        }
        if (wordChar(c)) {
            int j = i;
            while (j < n && wordChar(text[j]))
                ++j;
            const QString word = text.mid(i, j - i);
            bool number = false;
            word.toDouble(&number);
            if (number || (word.size() > 2 && word.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive)))
                setFormat(i, j - i, m_number);
            else if (m_isKeyword && m_isKeyword(word.toUpper()))
                setFormat(i, j - i, m_keyword);
            i = j;
            continue;
        }
        ++i;
    }
    setCurrentBlockState(state);
}

}  // namespace velkin
