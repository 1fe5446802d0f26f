#include "hosts/HostList.h"

#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <new>

#include "base/Platform.h"
#include "base/Unique.h"
#include "hosts/HostFile.h"
#include "hosts/HostFileText.h"
#include "hosts/HostNameKey.h"
#include "hosts/HostNameTraits.h"

namespace {

constexpr wchar_t fileName[] = L"vmhosts.txt";

// Inside the brackets "|" is a member of the negated class, not an alternative.
constexpr wchar_t removedCharacters[] = L"[^\\w|\\.|\\-|_]";

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
    owner.Check("the host list");
    if (!PrepareFolder())
        return false;
    try {
        std::vector<std::wstring> lines;
        DWORD error = ERROR_SUCCESS;
        const FileRead read = ReadTextLines(FilePath(), lines, error);
        for (std::wstring& line : lines) {
            if (Sanitize(line) && !line.empty())
                hosts.Insert(std::move(line));
        }
        return read == FileRead::Complete || read == FileRead::CutShort;
    } catch (const std::bad_alloc&) {
        // The names taken so far stand, as after a failed read.
        return true;
    }
}

bool HostList::Next(std::wstring_view& name, bool& more)
{
    owner.Check("the host list");
    const std::vector<std::wstring>& names = hosts.Names();
    if (cursor >= names.size()) {
        cursor = 0;
        more = false;
        return false;
    }
    name = names[cursor];
    ++cursor;
    more = cursor < names.size();
    if (!more)
        cursor = 0;
    return true;
}

void HostList::Add(std::wstring_view name) noexcept
{
    owner.Check("the host list");
    try {
        std::wstring clean(name);
        if (!Sanitize(clean))
            return;
        const std::wstring key = HostNameKey(clean);
        added.push_back(clean);
        ScopeGuard undo([this] { added.pop_back(); });
        if (!hosts.Insert(std::move(clean)))
            return;
        undo.Dismiss();
        forgotten.erase(key);
    } catch (const std::bad_alloc&) {
        // The list stays as it was.
    }
}

void HostList::Remove(std::wstring_view name) noexcept
{
    owner.Check("the host list");
    try {
        std::wstring clean(name);
        if (!Sanitize(clean))
            return;
        const std::wstring key = HostNameKey(clean);
        forgotten.insert(key);
        hosts.Erase(key);
        std::erase_if(added, [&key](const std::wstring& host) { return HostNameKey(host) == key; });
    } catch (const std::bad_alloc&) {
        // Whatever was forgotten before memory ran out stays forgotten.
    }
}

HostNames HostList::Merged(const std::vector<std::wstring>& fileLines) const
{
    HostNames merged;
    for (std::wstring line : fileLines) {
        if (!Sanitize(line) || line.empty() || forgotten.contains(HostNameKey(line)))
            continue;
        merged.Insert(std::move(line));
    }
    for (const std::wstring& name : added)
        merged.Insert(name);
    return merged;
}

SaveResult HostList::Save() noexcept
{
    owner.Check("the host list");
    if (added.empty() && forgotten.empty())
        return {};
    if (!PrepareFolder())
        return {SaveOutcome::FolderUnavailable, ERROR_SUCCESS};
    try {
        const std::wstring path = FilePath();
        std::vector<std::wstring> lines;
        DWORD error = ERROR_SUCCESS;
        const FileRead read = ReadTextLines(path, lines, error);
        // Replacing a file that was not read whole would lose the hosts it holds.
        if (read != FileRead::Complete && read != FileRead::Missing)
            return {SaveOutcome::FileUnreadable, error};
        HostNames merged = Merged(lines);
        error = ReplaceFileContent(path, EightBitLines(merged.Names()));
        if (error == ERROR_FILE_READ_ONLY)
            return {SaveOutcome::FileReadOnly, error};
        if (error != ERROR_SUCCESS)
            return {SaveOutcome::WriteFailed, error};
        hosts = std::move(merged);
        added.clear();
        forgotten.clear();
        cursor = 0;
        return {};
    } catch (const std::bad_alloc&) {
        return {SaveOutcome::WriteFailed, ERROR_NOT_ENOUGH_MEMORY};
    }
}

std::wstring HostList::FilePath() const
{
    return folderPath.empty() ? std::wstring() : folderPath + fileName;
}
