#include "LoadDataStatement.h"

#include "session/SqlText.h"

namespace velkin {

std::string loadDataStatement(const LoadDataOptions& o, const EscapeText& escape) {
    std::string sql = "LOAD DATA ";
    if (o.lowPriority)
        sql += "LOW_PRIORITY ";
    if (o.local)
        sql += "LOCAL ";
    sql += sqlf("INFILE '%s' ", escape(o.fileName));
    if (o.replace)
        sql += "REPLACE ";
    sql += sqlf("INTO TABLE %s ", o.target);
    if (!o.fieldsTerminated.empty() || !o.fieldsEnclosed.empty() || !o.fieldsEscaped.empty()) {
        sql += "FIELDS ";
        if (!o.fieldsTerminated.empty())
            sql += sqlf("TERMINATED BY '%s' ", escape(o.fieldsTerminated));
        if (!o.fieldsEnclosed.empty())
            sql += sqlf("OPTIONALLY ENCLOSED BY '%s' ", escape(o.fieldsEnclosed));
        if (!o.fieldsEscaped.empty())
            sql += sqlf("ESCAPED BY '%s' ", escape(o.fieldsEscaped));
    }
    if (!o.linesTerminated.empty())
        sql += sqlf("LINES TERMINATED BY '%s' ", escape(o.linesTerminated));
    if (!o.ignoreLines.empty())
        sql += sqlf("IGNORE %s LINES", o.ignoreLines);
    return sql;
}

}  // namespace velkin
