#pragma once
// Raises a flag for as long as a scope runs and lowers it on every way out: the busy and
// in-progress marks that keep a second run from starting while one is under way.
namespace mv {

class FlagScope {
public:
    explicit FlagScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~FlagScope() { m_flag = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& m_flag;
};

} // namespace mv
