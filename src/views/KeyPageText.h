#pragma once

#include <optional>
#include <string>
#include <vector>

#include "RecordListText.h"

namespace velkin {

class Connection;

/// The page of a keyed table that the record list shows, with the key values of its first and last
/// rows, so that the next and the previous page start from them instead of counting rows again.
struct ShownKeyPage {
    int page = -1;
    int pageLength = 0;
    /// The filter's conditions the page was read with; empty without a filter.
    std::string conditions;
    std::vector<std::string> first;
    std::vector<std::string> last;
};

/// How one page of a keyed table is reached.
struct KeyPageAsk {
    enum class Way {
        Start,    ///< the first page
        After,    ///< the rows after a key, for the next page
        Before,   ///< the rows before a key, for the previous page
        Offset,   ///< skip rows in key order, reading the key alone for the skipped ones
        FromEnd,  ///< the same from the table's end, for pages nearer the end than the start
    };
    Way way = Way::Start;
    std::vector<std::string> bound;
    long long skip = 0;
    int rows = 0;
};

/// The way to page `page` of `pageLength` rows: from the page shown when it is the next or the
/// previous one, else by skipping from whichever end of the counted rows is nearer.
KeyPageAsk keyPageAsk(int page, int pageLength, const std::string& conditions, const ShownKeyPage& shown,
                      std::optional<long long> count);

/// The statement for one page of the table in key order. The rows are those of "LIMIT offset, n"
/// with the same ORDER BY. key: the key's column names as the server has them; conditions: the
/// filter's conditions (filterConditionsText), empty without a filter.
std::string keyedPageStatement(const Connection& connection, const std::string& database,
                               const std::string& table, const std::vector<std::string>& key,
                               const std::string& conditions, const KeyPageAsk& ask);

/// The engine and the row estimate of one table, from the catalog: the estimate costs nothing,
/// where counting a big InnoDB table reads every row.
std::string tableEstimateQuery(const Connection& connection, const std::string& database,
                               const std::string& table);
/// "about 10,000,000": a row count that is the table status's estimate.
std::string estimateText(long long rows);

/// Whether a filter condition orders or limits the rows itself (a typed ORDER BY or LIMIT); then
/// the list cannot add an order of its own and pages as it always did.
bool conditionsOrderRows(const FilterConditions& conditions);

}  // namespace velkin
