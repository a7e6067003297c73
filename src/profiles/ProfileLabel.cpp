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

bool isUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        int follow = 0;
        unsigned int minimum = 0;
        unsigned int code = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            follow = 1, minimum = 0x80, code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            follow = 2, minimum = 0x800, code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            follow = 3, minimum = 0x10000, code = lead & 0x07;
        } else {
            return false;
        }
        if (bytes.size() - i <= static_cast<std::size_t>(follow))
            return false;
        for (int k = 1; k <= follow; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += static_cast<std::size_t>(follow) + 1;
    }
    return true;
}

QString labelText(const QByteArray& bytes) {
    if (isUtf8(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))))
        return QString::fromUtf8(bytes);
    return QString::fromLatin1(bytes);
}

QByteArray labelBytes(const QString& text, const QByteArray& original) {
    if (!original.isEmpty() && labelText(original) == text)
        return original;
    return text.toUtf8();
}

}  // namespace velkin
