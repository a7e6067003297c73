#pragma once

#include <string>

namespace velkin {

class BackgroundWork;
class Connection;
class Result;

/// How a statement sent beside the window ended.
struct SentStatement {
    bool failed = false;
    /// Ended by Stop: the server undoes a stopped statement whole.
    bool stopped = false;
    /// The server's "%d:%s" when it failed.
    std::string errorLine;
};

/// Sends a statement through the screen's work, which holds the connection until it has ended. The
/// server's answer is taken on the work's side, before what a stop leaves behind resets it.
SentStatement sendBeside(BackgroundWork& work, Connection& connection, const std::string& sql);

/// Reads a statement's rows through the screen's work; an empty Result when it failed.
Result readBeside(BackgroundWork& work, Connection& connection, const std::string& sql);

}  // namespace velkin
