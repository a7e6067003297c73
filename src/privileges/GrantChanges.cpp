#include "GrantChanges.h"

namespace velkin {

GrantChanges& GrantChanges::instance() {
    static GrantChanges changes;
    return changes;
}

void GrantChanges::tell() {
    ++m_closings;
    emit screenClosed();
}

}  // namespace velkin
