#pragma once

#include <QString>

namespace velkin {

/// Pages needed for the rows: count ÷ length + 1, in whole numbers (so a full last page is followed
/// by an empty one, as the record list pages too).
int pageCountFor(long long recordCount, int pageLength);
/// The rows a page shows, "%d  -  %d", or "It cannot display.".
QString pageRangeText(int pageNumber, int pageCount, int pageLength, long long recordCount);

/// What OK makes of the dialog's fields: the zero-based page and the page length.
struct PageChoice {
    int page;
    int pageLength;
};
PageChoice pageChoiceFor(int pageNumber, int pageLengthField, int pageCount);

}  // namespace velkin
