#include "ErrorTextConversion.h"

#include <QStringDecoder>

namespace velkin {

namespace {

constexpr unsigned char kEsc = 27;

bool isJisByte(unsigned char c) {
    return c >= 0x21 && c <= 0x7E;
}

bool startsWith(std::string_view text, std::size_t at, unsigned char a, unsigned char b, unsigned char c) {
    return at + 2 < text.size() && static_cast<unsigned char>(text[at]) == a &&
           static_cast<unsigned char>(text[at + 1]) == b && static_cast<unsigned char>(text[at + 2]) == c;
}

}  // namespace

unsigned jisToShiftJis(unsigned jis) {
    unsigned first = (jis >> 8) & 0xFF;
    unsigned second = jis & 0xFF;
    if (!isJisByte(static_cast<unsigned char>(first)) || !isJisByte(static_cast<unsigned char>(second)))
        return 0;
    unsigned lead = ((first - 0x21) >> 1) + 0x81;
    if (lead > 0x9F)
        lead += 0x40;
    unsigned trail = 0;
    if (first & 1)
        trail = second + (second >= 0x60 ? 0x20 : 0x1F);
    else
        trail = second + 0x7E;
    return (lead << 8) | trail;
}

std::string convertErrorText(std::string_view text, bool shiftJisCodePage) {
    std::string out;
    out.reserve(text.size() + 8);
    bool doubleByte = false;
    // The text is a C string to the client library: nothing after a zero byte belongs to it.
    std::size_t end = text.find('\0');
    if (end == std::string_view::npos)
        end = text.size();
    text = text.substr(0, end);
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (startsWith(text, i, kEsc, '$', 'B')) {
            doubleByte = true;
            i += 3;
            continue;
        }
        if (startsWith(text, i, kEsc, '(', 'B')) {
            doubleByte = false;
            i += 3;
            continue;
        }
        if (doubleByte && isJisByte(c)) {
            // The pair's second byte may be missing when the text ends inside the pair; it then
            // counts as the terminating zero.
            const unsigned char second = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
            const unsigned jis = (static_cast<unsigned>(c) << 8) | second;
            const unsigned sjis = shiftJisCodePage ? jisToShiftJis(jis) : jis;
            out.push_back(static_cast<char>((sjis >> 8) & 0xFF));
            out.push_back(static_cast<char>(sjis & 0xFF));
            if (i + 1 >= text.size())
                break;
            i += 2;
            continue;
        }
        if (c == '\n' && (i == 0 || text[i - 1] != '\r'))
            out.push_back('\r');
        out.push_back(static_cast<char>(c));
        ++i;
    }
    return out;
}

QString displayErrorText(const std::string& converted) {
    const std::size_t end = converted.find('\0');
    const QByteArray bytes = QByteArray::fromStdString(converted.substr(0, end));
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder shiftJis("Shift_JIS");
    if (!shiftJis.isValid())
        return text;
    return shiftJis.decode(bytes);
}

}  // namespace velkin
