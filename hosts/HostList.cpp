#include "hosts/HostList.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <new>

#include "app/Platform.h"
#include "app/Unique.h"
#include "hosts/HostFile.h"
#include "hosts/HostNameTraits.h"

namespace {

constexpr wchar_t fileName[] = L"vmhosts.txt";

// Inside the brackets "|" is a member of the negated class, not an alternative.
constexpr wchar_t removedCharacters[] = L"[^\\w|\\.|\\-|_]";

bool FitsInEightBits(std::wstring_view name) noexcept
{
    return std::all_of(name.begin(), name.end(), [](wchar_t c) { return c <= 0xFF; });
}

}

bool HostList::Sanitize(std::wstring& name) noexcept
{
    try {
        static const HostNameRegex expression(removedCharacters);
        name = std::regex_replace(name, expression, L"");
        return true;
    } catch (const std::exception&) {
        name.clear();
        return false;
    }
}

HostList::HostList(std::wstring_view dataFolder) : dataFolder(dataFolder) {}

bool HostList::PrepareFolder()
{
    try {
        if (folderPath.empty()) {
            wchar_t path[MAX_PATH] = {};
            const HRESULT result = CurrentPlatform().getFolderPath(nullptr, CSIDL_APPDATA, nullptr,
                                                                   SHGFP_TYPE_CURRENT, path);
            path[MAX_PATH - 1] = L'\0';
            // S_FALSE also "succeeds", but names a folder that does not exist and no path.
            if (result != S_OK || path[0] == L'\0')
                return false;
            folderPath = std::wstring(path) + dataFolder;
            // A failure to create shows in the existence test below.
            std::error_code ignored;
            std::filesystem::create_directories(folderPath, ignored);
        }
    } catch (const std::exception&) {
        return false;
    }
    // An existing file of that name also counts; opening the host file in it then fails.
    return GetFileAttributesW(folderPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool HostList::Load()
{
    if (!PrepareFolder())
        return false;
    return ReadTextLines(FilePath(), [this](std::wstring& line) {
        if (Sanitize(line) && !line.empty())
            Add(line);
    });
}

bool HostList::Next(std::wstring_view& name, bool& more)
{
    if (cursor >= hosts.size()) {
        cursor = 0;
        more = false;
        return false;
    }
    name = hosts[cursor];
    ++cursor;
    more = cursor < hosts.size();
    if (!more)
        cursor = 0;
    return true;
}

void HostList::Add(std::wstring_view name) noexcept
{
    try {
        std::wstring clean(name);
        if (!Sanitize(clean))
            return;
        if (known.contains(clean))
            return;
        hosts.push_back(clean);
        ScopeGuard undo([this] { hosts.pop_back(); });
        known.insert(std::move(clean));
        undo.Dismiss();
    } catch (const std::bad_alloc&) {
        // The list stays as it was.
    }
}

void HostList::Remove(std::wstring_view name) noexcept
{
    try {
        std::wstring clean(name);
        if (!Sanitize(clean) || known.erase(clean) == 0)
            return;
        hosts.erase(std::find(hosts.begin(), hosts.end(), clean));
    } catch (const std::bad_alloc&) {
        // The list stays as it was.
    }
}

bool HostList::Save()
{
    if (!PrepareFolder())
        return false;
    try {
        std::string content;
        for (const auto& name : hosts) {
            if (!FitsInEightBits(name))
                continue;
            for (const wchar_t c : name)
                content.push_back(static_cast<char>(static_cast<unsigned char>(c)));
            content += "\r\n";
        }
        return ReplaceFileContent(FilePath(), content);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

std::wstring HostList::FilePath() const
{
    return folderPath + fileName;
}
