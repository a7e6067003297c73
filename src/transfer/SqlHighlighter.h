#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <functional>

namespace velkin {

/// Colours the console's text as the server reads it: its reserved words, quoted texts and names,
/// comments (also across lines) and numbers.
class SqlHighlighter : public QSyntaxHighlighter {
public:
    /// isKeyword answers for a word in upper case.
    SqlHighlighter(QTextDocument* document, std::function<bool(const QString&)> isKeyword);

protected:
    void highlightBlock(const QString& text) override;

private:
    std::function<bool(const QString&)> m_isKeyword;
    QTextCharFormat m_keyword;
    QTextCharFormat m_text;
    QTextCharFormat m_name;
    QTextCharFormat m_comment;
    QTextCharFormat m_number;
};

}  // namespace velkin
