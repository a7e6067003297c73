#pragma once

#include <functional>

namespace velkin {

/// Ends the process with the given code. Every deliberate end of the program goes through here so
/// that tests can intercept it (their handler throws instead of returning).
[[noreturn]] void endProcess(int code);

/// Replaces what endProcess does; an empty handler restores the real exit. A handler that returns
/// is followed by the real exit.
void setProcessEndHandler(std::function<void(int)> handler);

}  // namespace velkin
