// Host names in order of entry, one spelling per host: names that differ only in letter case
// name the same host, and the spelling entered first is the one kept.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

class HostNames {
public:
    // Appends the name unless a spelling of it is held; whether it was appended. Out of
    // memory throws std::bad_alloc and leaves the names as they were.
    bool Insert(std::wstring name);
    // Erases the spelling held for a key (HostNameKey); whether there was one.
    bool Erase(const std::wstring& key);
    bool Contains(const std::wstring& key) const { return keys_.contains(key); }

    const std::vector<std::wstring>& Names() const { return names_; }
    size_t Size() const { return names_.size(); }

private:
    std::vector<std::wstring> names_;
    std::unordered_set<std::wstring> keys_;
};
