#pragma once

#include "SshOptions.h"

namespace velkin {

class Operator;

/// A question for the person that may come from any thread: from a worker it waits until the
/// window's thread has asked it through op (the window goes on painting meanwhile); on the window's
/// thread it asks at once. The caption is the application title, and the default answer No: what
/// comes this way is whether to trust a key, which a stray Enter must not do.
SshQuestion windowQuestion(Operator& op);

}  // namespace velkin
