#include "SchemaWork.h"

#include "session/BackgroundWork.h"
#include "session/Connection.h"

namespace velkin {

SentStatement sendBeside(BackgroundWork& work, Connection& connection, const std::string& sql) {
    SentStatement sent;
    work.run({&connection}, [&](WorkControl&) {
        if (connection.query(sql) != 0) {
            sent.failed = true;
            sent.errorLine = connection.errorLine();
        }
    });
    // A statement that ended before Stop reached it stands; only one that Stop ended was undone.
    sent.stopped = sent.failed && work.stopRequested();
    return sent;
}

Result readBeside(BackgroundWork& work, Connection& connection, const std::string& sql) {
    Result result;
    work.run({&connection}, [&](WorkControl&) { result = connection.select(sql); });
    return result;
}

}  // namespace velkin
