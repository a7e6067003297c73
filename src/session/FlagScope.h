#pragma once

namespace velkin {

/// Sets a flag for the life of the scope and clears it on the way out, also when the process end
/// that tests intercept unwinds through it.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~FlagScope() { m_flag = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& m_flag;
};

}  // namespace velkin
