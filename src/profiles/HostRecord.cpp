#include "HostRecord.h"

#include <algorithm>

namespace velkin {

namespace {

bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

void putText(std::string& bytes, std::size_t offset, std::size_t fieldSize, const std::string& text) {
    const std::string fitted = cutToFit(text, fieldSize - 1);
    std::copy(fitted.begin(), fitted.end(), bytes.begin() + offset);
}

std::string getText(std::string_view bytes, std::size_t offset, std::size_t fieldSize) {
    if (offset >= bytes.size())
        return {};
    std::string_view field = bytes.substr(offset, fieldSize);
    return std::string(field.substr(0, field.find('\0')));
}

}  // namespace

std::string cutToFit(std::string_view text, std::size_t maxBytes) {
    text = text.substr(0, text.find('\0'));
    if (text.size() <= maxBytes)
        return std::string(text);
    // A UTF-8 character is at most four bytes, so at most three continuation bytes are given back;
    // beyond that the text is not UTF-8 and is cut where it stands.
    std::size_t end = maxBytes;
    for (int back = 0; back < 3 && end > 0 && isContinuationByte(text[end]); ++back)
        --end;
    if (isContinuationByte(text[end]))
        end = maxBytes;
    return std::string(text.substr(0, end));
}

std::string HostRecord::toBytes() const {
    std::string bytes(kSize, '\0');
    putText(bytes, kDisplayNameOffset, kTextSize, displayName);
    putText(bytes, kHostNameOffset, kTextSize, hostName);
    putText(bytes, kUserNameOffset, kTextSize, userName);
    putText(bytes, kPasswordOffset, kTextSize, password);
    putText(bytes, kPortOffset, kPortSize, port);
    bytes[kMarkOffset] = '1';
    return bytes;
}

HostRecord HostRecord::fromBytes(std::string_view bytes) {
    HostRecord record;
    record.displayName = getText(bytes, kDisplayNameOffset, kTextSize);
    record.hostName = getText(bytes, kHostNameOffset, kTextSize);
    record.userName = getText(bytes, kUserNameOffset, kTextSize);
    record.password = getText(bytes, kPasswordOffset, kTextSize);
    record.port = getText(bytes, kPortOffset, kPortSize);
    return record;
}

}  // namespace velkin
