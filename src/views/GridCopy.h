#pragma once

#include <QModelIndexList>
#include <QString>

namespace velkin {

class RowModel;

/// How copied cells write NULL: as nothing (a NULL and '' then paste alike) or as the word NULL
/// (a text that reads NULL is then quoted, so the two stay apart).
enum class CopiedNull { Empty, Word };

/// The chosen cells as tab-separated lines, one per row; a value holding a tab, a line end or a
/// leading quote is quoted. With column names, the first line names the copied columns.
QString gridCopyText(const RowModel& rows, const QModelIndexList& cells, bool withColumnNames,
                     CopiedNull null);

}  // namespace velkin
