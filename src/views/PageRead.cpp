#include "PageRead.h"

#include <algorithm>

#include "session/Connection.h"

namespace velkin {

namespace {

void noteFailure(const Connection& connection, PageRead::End end, PageRead& read) {
    read.end = end;
    read.errorNumber = connection.errorNumber();
    read.errorText = connection.errorText();
}

}  // namespace

PageRead readPage(Connection& connection, const PageRequest& request) {
    PageRead read;
    read.conditions = request.conditions;
    // A command that did not read its rows (OPTIMIZE TABLE, for one) would block every statement.
    connection.storeResult();
    if (!connection.selectDb(request.database)) {
        noteFailure(connection, PageRead::End::NoColumns, read);
        return read;
    }
    Result fields = connection.listFields(request.table);
    if (!fields) {
        noteFailure(connection, PageRead::End::NoColumns, read);
        return read;
    }
    read.columns = fields.fieldNames();
    fields.reset();
    // One condition text per column in each set, however many columns the table has.
    for (auto& set : read.conditions)
        if (set.size() < read.columns.size())
            set.resize(read.columns.size());
    read.statements = listStatements(connection.dialect(), request.database, request.table, read.columns,
                                     read.conditions, request.filterActive, request.page, request.pageLength);

    read.start = std::time(nullptr);
    if (connection.query(read.statements.page) != 0) {
        noteFailure(connection, PageRead::End::Refused, read);
        return read;
    }
    Result result = connection.storeResult();
    if (!result) {
        noteFailure(connection, PageRead::End::Unread, read);
        return read;
    }
    read.resultTime = std::time(nullptr);
    read.rows.reset(static_cast<unsigned>(read.columns.size()));
    const int most = std::max(0, request.pageLength);
    while (read.rows.rows() < most) {
        Row row = result.fetchRow();
        if (!row)
            break;
        read.rows.add(row);
    }
    result.reset();
    read.done = std::time(nullptr);

    Result counted = connection.select(read.statements.count);
    if (Row row = counted.fetchRow())
        read.count = row.str(0);
    return read;
}

}  // namespace velkin
