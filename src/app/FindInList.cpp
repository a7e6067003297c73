#include "FindInList.h"

#include <algorithm>

namespace velkin {

FindResult findInRows(int rowCount, int columnCount, const std::function<QString(int, int)>& cell,
                      int startRow, const FindRequest& request) {
    const QString wanted = request.matchCase ? request.text : request.text.toUpper();
    if (startRow == rowCount)
        return {FindOutcome::NoMore};
    const int columns = std::min(columnCount, 256);
    const int step = request.down ? 1 : -1;
    for (int row = startRow + step; row >= 0 && row < rowCount; row += step) {
        for (int column = 0; column < columns; ++column) {
            QString text = cell(row, column);
            if (!request.matchCase)
                text = text.toUpper();
            bool match = request.wholeWord ? text == wanted : text.contains(wanted);
            if (match)
                return {FindOutcome::Found, row};
        }
    }
    return {FindOutcome::NotFound};
}

QString findMessage(FindOutcome outcome) {
    return outcome == FindOutcome::NoMore ? QStringLiteral("It cannot search any more.")
                                          : QStringLiteral("A character sequence was not found.");
}

}  // namespace velkin
