#include "AccountWriter.h"

#include <QString>

#include "AccountStatements.h"
#include "GrantSteps.h"
#include "ServerCalls.h"
#include "session/Connection.h"

namespace velkin {

bool AccountWriter::send(const std::string& sql) {
    if (sql.empty() || m_steps.calls().query(sql) == 0)
        return true;
    m_steps.stopWithError(QStringLiteral("It failed in renewal of user information."));
    return false;
}

bool AccountWriter::grantAndRevoke(const AccountEdit& edit) {
    return send(globalGrantStatement(m_connection, edit.host, edit.user, edit.flags)) &&
           send(globalRevokeStatement(m_connection, edit.host, edit.user, edit.flags));
}

bool AccountWriter::create(const AccountEdit& edit, bool& created) {
    created = false;
    if (!send(createUserStatement(m_connection, edit.host, edit.user, edit.password)))
        return false;
    created = true;
    return send(globalGrantStatement(m_connection, edit.host, edit.user, edit.flags));
}

bool AccountWriter::change(const std::string& oldHost, const std::string& oldUser, const AccountEdit& edit,
                           bool& renamed) {
    renamed = oldHost == edit.host && oldUser == edit.user;
    if (!renamed) {
        if (!send(renameUserStatement(m_connection, oldHost, oldUser, edit.host, edit.user)))
            return false;
        renamed = true;
    }
    if (edit.setPassword && !send(alterPasswordStatement(m_connection, edit.host, edit.user, edit.password)))
        return false;
    return grantAndRevoke(edit);
}

}  // namespace velkin
