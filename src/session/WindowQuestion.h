#pragma once

#include "SshOptions.h"

namespace velkin {

class Operator;

/// A question for the person that may come from any thread: from a worker it waits until the
/// window's thread has asked it through op (the window goes on painting meanwhile); on the window's
/// thread it asks at once. The caption is the application title.
SshQuestion windowQuestion(Operator& op);

}  // namespace velkin
