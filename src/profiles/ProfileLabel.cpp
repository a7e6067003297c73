#include "ProfileLabel.h"

#include "session/Operator.h"

namespace velkin {

bool isAcceptableLabel(const QString& text) {
    if (text.isEmpty() || characterCount(text) > kMaxLabelLength)
        return false;
    for (const QChar c : text) {
        if (c.isSpace() || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

QString labelRefusal() {
    return QStringLiteral("A name must be 1 to 19 characters long and hold no blanks.");
}

bool refuseUnacceptableLabel(Operator& op, const QString& text) {
    if (isAcceptableLabel(text))
        return false;
    op.inform(labelRefusal(), appTitle(), MessageIcon::Warning);
    return true;
}

int characterCount(const QString& text) {
    int count = 0;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        ++count;
    }
    return count;
}

QString leftCharacters(const QString& text, int maxCharacters) {
    int i = 0;
    for (int count = 0; i < text.size() && count < maxCharacters; ++count) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        ++i;
    }
    return text.left(i);
}

bool labelSortsBefore(const QString& a, const QString& b) {
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    if (folded != 0)
        return folded < 0;
    return QString::compare(a, b, Qt::CaseSensitive) < 0;
}

}  // namespace velkin
