#include "GrantSteps.h"

#include "session/Connection.h"
#include "session/Operator.h"

namespace velkin {

QString infoCaption() {
    return QStringLiteral("Velkin Infomation");
}

void GrantSteps::stop(const QString& text) {
    m_op.inform(text, infoCaption(), MessageIcon::Stop);
}

bool GrantSteps::useGrantDatabase(bool beforeChange) {
    if (m_connection.selectDb("mysql"))
        return true;
    if (beforeChange)
        stop(QStringLiteral("A database does not open."));
    else
        m_op.inform(QStringLiteral("A database does not open."));
    return false;
}

bool GrantSteps::loadRow(const std::string& sql, const std::function<void(const Row&)>& use) {
    if (m_connection.query(sql) != 0) {
        stop(QStringLiteral("There is no right to access."));
        return false;
    }
    Result rows = m_connection.storeResult();
    if (!rows) {
        stop(QStringLiteral("User information was not found."));
        return false;
    }
    Row row = rows.fetchRow();
    if (!row) {
        stop(QStringLiteral("User information was not able to be taken out."));
        return false;
    }
    use(row);
    return true;
}

}  // namespace velkin
