// Sets a flag for the lifetime of a scope and puts the old value back.
#pragma once

#include <utility>

class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag), old_(std::exchange(flag, true)) {}
    ~FlagScope() { flag_ = old_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
    bool old_;
};
