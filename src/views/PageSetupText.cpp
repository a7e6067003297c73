#include "PageSetupText.h"

#include "session/SqlText.h"

namespace velkin {

int pageCountFor(long long recordCount, int pageLength) {
    if (pageLength <= 0 || recordCount <= 0)
        return 1;
    return static_cast<int>((recordCount + pageLength - 1) / pageLength);
}

QString pageRangeText(int pageNumber, int pageCount, int pageLength, long long recordCount) {
    const long long first = static_cast<long long>(pageNumber - 1) * pageLength + 1;
    if (pageNumber != 0 && pageNumber < pageCount)
        return textf("%lld  -  %lld", first, static_cast<long long>(pageNumber) * pageLength);
    if (pageNumber == pageCount)
        return textf("%lld  -  %lld", first, recordCount);
    return QStringLiteral("It cannot display.");
}

PageChoice pageChoiceFor(int pageNumber, int pageLengthField, int pageCount) {
    PageChoice choice{pageNumber - 1, pageLengthField == 0 ? 100 : pageLengthField};
    if (choice.page > pageCount - 1)
        choice.page = pageCount - 1;
    return choice;
}

}  // namespace velkin
