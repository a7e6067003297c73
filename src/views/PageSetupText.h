#pragma once

#include <QString>

namespace velkin {

/// Pages needed for the rows, the last one partly filled or full; at least one. The record list
/// pages no further than this either, so no page after the rows is offered.
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
