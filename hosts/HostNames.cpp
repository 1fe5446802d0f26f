#include "hosts/HostNames.h"

#include <algorithm>

#include "base/Unique.h"
#include "hosts/HostNameKey.h"

bool HostNames::Insert(std::wstring name)
{
    std::wstring key = HostNameKey(name);
    if (keys_.contains(key))
        return false;
    names_.push_back(std::move(name));
    ScopeGuard undo([this] { names_.pop_back(); });
    keys_.insert(std::move(key));
    undo.Dismiss();
    return true;
}

bool HostNames::Erase(const std::wstring& key)
{
    if (!keys_.contains(key))
        return false;
    // Keys are not kept per entry: erasing is rare, and keying the names again is cheap.
    const auto held = std::find_if(names_.begin(), names_.end(),
                                   [&key](const std::wstring& name) { return HostNameKey(name) == key; });
    keys_.erase(key);
    if (held != names_.end())
        names_.erase(held);
    return true;
}
