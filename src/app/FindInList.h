#pragma once

#include <QString>
#include <functional>

namespace velkin {

struct FindRequest {
    QString text;
    bool down = true;
    bool matchCase = false;
    bool wholeWord = false;
};

enum class FindOutcome { Found, NoMore, NotFound };

struct FindResult {
    FindOutcome outcome;
    int row = -1;
};

/// Searches the rows after (or before) the start row, columns 0 to 255 of each, for a cell that
/// contains the text (or equals it, for a whole word).
FindResult findInRows(int rowCount, int columnCount, const std::function<QString(int, int)>& cell,
                      int startRow, const FindRequest& request);

/// The message for an outcome other than Found.
QString findMessage(FindOutcome outcome);

}  // namespace velkin
