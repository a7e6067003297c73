#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "CopyStatements.h"
#include "CopyText.h"
#include "KeySteps.h"
#include "RowCopy.h"
#include "RowWriter.h"
#include "TableColumns.h"
#include "session/SqlText.h"

namespace velkin {

namespace {

/// Rows of one block that the server copies itself: each statement has a fixed cost (a few
/// milliseconds into MyISAM), and with batches of a thousand rows those costs made a copy half again
/// as slow as one INSERT ... SELECT. A block of this size takes the server about a tenth of a second
/// for rows of a hundred bytes, so the screen still repaints several times a second.
constexpr int kServerBlockRows = 50 * kCopyBlockRows;

}  // namespace

std::optional<RowCopy::KeyRanges> RowCopy::keyRanges() {
    const std::vector<KeyColumnLine> lines = readUniqueKeys(m_destination, m_from.database, m_from.table);
    const std::optional<std::vector<std::string>> key = rangeKey(lines);
    if (!key)
        return std::nullopt;
    if (m_carried.empty())
        return std::nullopt;
    KeyRanges ranges;
    for (const KeyColumnLine& line : lines)
        if (key->size() == 1 && line.column == key->front())
            ranges.integer = isIntegerType(line.dataType);
    const ServerDialect& dialect = m_destination.dialect();
    for (const std::string& name : *key)
        ranges.keys.push_back(quoteName(name, dialect));
    ranges.keyList = columnList(*key, dialect);
    ranges.columns = carriedInsertList(m_carried);
    ranges.readList = carriedSelectList(m_carried);
    return ranges;
}

bool RowCopy::copyOnServer(const KeyRanges& ranges, RowWriter& writer, RowCopyOutcome& outcome,
                           const BlockEnd& endBlock) {
    // A block's INSERT ... SELECT at the default isolation locks every source row it reads, so that it
    // waits for (and can time out behind) anyone writing the source, and pays for the locks. Read
    // committed, each block reads the rows committed when it starts, as an autocommitted statement does
    // anyway, without locks. A server that logs statements as text cannot log such a statement.
    {
        Result result = m_destination.select(binlogFormatQuery());
        Row row = result.fetchRow();
        m_readCommitted = row && !(row.text(0) == "1" && row.text(1) == "STATEMENT");
    }
    if (ranges.integer) {
        Result result = m_destination.select(keyBoundsQuery(m_from.statementName, ranges.keyList));
        Row row = result.fetchRow();
        const std::optional<KeyInteger> smallest = row ? parseKeyInteger(row.text(0)) : std::nullopt;
        const std::optional<KeyInteger> largest = row ? parseKeyInteger(row.text(1)) : std::nullopt;
        if (smallest && largest) {
            KeySteps steps(*smallest, *largest, kServerBlockRows);
            return copyBySteps(ranges, steps, writer, outcome, endBlock);
        }
        // An empty table, or a server that could not tell: the walk below finds out.
    }
    return copyByKeyRanges(ranges, {}, kServerBlockRows, kServerBlockRows, 0, writer, outcome, endBlock);
}

bool RowCopy::copyBySteps(const KeyRanges& ranges, KeySteps& steps, RowWriter& writer,
                          RowCopyOutcome& outcome, const BlockEnd& endBlock) {
    std::string after;
    for (;;) {
        if (stopped())
            return false;
        const std::optional<KeyInteger> upper = steps.upper();
        const std::string upTo =
            upper ? keyUpToCondition(m_destination, ranges.keys, {keyIntegerText(*upper)}) : std::string();
        const std::string range = bothConditions(after, upTo);
        const long long before = outcome.rowsRead;
        if (const std::optional<long long> rows = copyBlock(ranges, range, writer)) {
            outcome.rowsRead += *rows;
            if (*rows > 0)
                endBlock();
        } else if (writer.lost() || stopped()) {
            return false;
        } else {
            // The block goes again in batches that end where the log's batches end, so that a refused
            // row is logged within its own batch.
            const int toBatchEnd = kCopyBlockRows - static_cast<int>(outcome.rowsRead % kCopyBlockRows);
            if (!copyByKeyRanges(ranges, {after, upTo}, toBatchEnd, kCopyBlockRows,
                                 writer.keptOfRefusedBlock(), writer, outcome, endBlock))
                return false;
        }
        if (!upper)
            return true;
        after = keyAfterCondition(m_destination, ranges.keys, {keyIntegerText(*upper)});
        const long long rows = outcome.rowsRead - before;
        if (rows > 0) {
            steps.next(rows);
            continue;
        }
        // A gap in the key: the next block starts at the next key there is, as wide as this one, rather
        // than widening over the gap and taking whatever crowd follows it in one block.
        Result result = m_destination.select(keyBoundsQuery(m_from.statementName, ranges.keyList, after));
        Row row = result.fetchRow();
        if (row && row.isNull(0))
            return true;  // no key after the gap
        const std::optional<KeyInteger> next = row ? parseKeyInteger(row.text(0)) : std::nullopt;
        if (next)
            steps.restartAt(*next);
        else
            steps.next(0);
    }
}

bool RowCopy::copyByKeyRanges(const KeyRanges& ranges, const KeySpan& span, int firstRows, int blockRows,
                              long long kept, RowWriter& writer, RowCopyOutcome& outcome,
                              const BlockEnd& endBlock) {
    std::string after = span.after;
    for (int rowsOfBlock = firstRows;; rowsOfBlock = blockRows) {
        if (stopped())
            return false;
        std::optional<std::vector<std::string>> last;
        if (!findBlockEnd(ranges, bothConditions(after, span.upTo), rowsOfBlock, last))
            return readFailed(outcome);
        const std::string upTo = last ? keyUpToCondition(m_destination, ranges.keys, *last) : span.upTo;
        const std::string range = bothConditions(after, upTo);
        long long rows = 0;
        if (kept >= rowsOfBlock) {
            // Landed before the statement of the larger block around it was refused.
            rows = rowsOfBlock;
            writer.addLanded(rows);
            kept -= rows;
        } else if (const std::optional<long long> copied =
                       kept == 0 ? copyBlock(ranges, range, writer) : std::nullopt) {
            rows = *copied;
        } else if (writer.lost() || stopped()) {
            return false;
        } else if (rowsOfBlock > kCopyBlockRows) {
            // What the destination kept of the large block stays, and the rest goes again a batch at a
            // time, so that only the batch that holds the refused row is settled row by row. Those
            // batches end themselves.
            if (!copyByKeyRanges(ranges, {after, upTo}, kCopyBlockRows, kCopyBlockRows,
                                 writer.keptOfRefusedBlock(), writer, outcome, endBlock))
                return false;
        } else {
            const bool settled = settleRefusedBlock(ranges, range, kept, writer, rows);
            kept = 0;
            if (!settled) {
                outcome.rowsRead += rows;
                return readFailed(outcome);
            }
        }
        outcome.rowsRead += rows;
        if (rows > 0)
            endBlock();
        if (!last)
            return true;
        after = keyAfterCondition(m_destination, ranges.keys, *last);
    }
}

std::optional<long long> RowCopy::copyBlock(const KeyRanges& ranges, const std::string& range,
                                            RowWriter& writer) {
    if (m_readCommitted)
        m_destination.query(readCommittedNextStatement());
    if (m_destination.query(blockCopyStatement(m_to.statementName, ranges.columns, m_from.statementName,
                                               range, ranges.keyList)) != 0) {
        // An autocommitted block that was running when the connection broke may have landed or not.
        if (m_destination.connectionLost())
            writer.markLost(-1);
        return std::nullopt;
    }
    const auto rows = static_cast<long long>(m_destination.affectedRows());
    writer.addLanded(rows);
    return rows;
}

bool RowCopy::findBlockEnd(const KeyRanges& ranges, const std::string& within, int blockRows,
                           std::optional<std::vector<std::string>>& last) {
    if (m_destination.query(blockEndQuery(m_from.statementName, ranges.keyList, within, blockRows)) != 0)
        return false;
    if (Result end = m_destination.storeResult()) {
        if (Row row = end.fetchRow()) {
            last.emplace();
            for (unsigned i = 0; i < row.size(); ++i)
                last->push_back(row.str(i));
        }
        return true;
    }
    return m_destination.errorNumber() == 0;
}

bool RowCopy::settleRefusedBlock(const KeyRanges& ranges, const std::string& range, long long kept,
                                 RowWriter& writer, long long& rows) {
    // What the server kept of the block stays; the refused row goes alone, so that it is logged
    // with its own statement, and the rest follows as any streamed rows do.
    if (kept == 0)
        kept = writer.keptOfRefusedBlock();
    writer.addLanded(kept);
    Result block = m_destination.select(
        blockReadStatement(m_from.statementName, ranges.readList, range, ranges.keyList));
    if (!block)
        return false;
    for (long long index = 0; Row row = block.fetchRow(); ++index, ++rows) {
        if (index == kept || (index > kept && writer.keepsNothingOfRefusals()))
            writer.addAlone(row);
        else if (index > kept)
            writer.add(row);
    }
    return true;
}

}  // namespace velkin
