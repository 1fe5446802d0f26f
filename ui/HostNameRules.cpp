#include "ui/HostNameRules.h"

#include "hosts/HostNameTraits.h"

std::wstring CleanTypedHostName(std::wstring text, const std::wstring& localComputerName) noexcept
{
    try {
        for (wchar_t& c : text) {
            if (c >= L'a' && c <= L'z')
                c = static_cast<wchar_t>(c - L'a' + L'A');
        }
        // The same word class as the host list uses, so a name cleaned here stays unchanged
        // when the list cleans it again.
        static const HostNameRegex removed(L"[^-_\\.\\w]", std::regex_constants::ECMAScript);
        std::wstring cleaned = std::regex_replace(text, removed, L"");
        if (cleaned == L"." || cleaned == L"LOCALHOST")
            cleaned = localComputerName;
        return cleaned;
    } catch (...) {
        return {};
    }
}
