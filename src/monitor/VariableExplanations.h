#pragma once

#include <QString>

namespace velkin {

/// The explanation shown under the system variable list for a variable's name. Names without an
/// explanation of their own (at present every name) give "Unknown (under the present investigation)".
QString variableExplanation(const QString& name);

}  // namespace velkin
