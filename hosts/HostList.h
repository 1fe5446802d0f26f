// The known host names, in order of entry, backed by the 8-bit text file vmhosts.txt in a
// folder under the user's roaming application-data folder ("\Orlund\Brackwin\" unless told).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

class HostList {
public:
    static constexpr wchar_t defaultDataFolder[] = L"\\Orlund\\Brackwin\\";

    // The data folder is named relative to the application-data folder, with both backslashes.
    explicit HostList(std::wstring_view dataFolder = defaultDataFolder);

    // Finds the data folder (once it has been found, it is kept) and creates it with its
    // parents; whether the folder now exists.
    [[nodiscard]] bool PrepareFolder();
    // Adds the file's names, cleaned, in file order; false when the file cannot be opened.
    [[nodiscard]] bool Load();
    // Delivers the entry at the cursor and moves on, wrapping to the start after the last one.
    // The view is valid until the list next changes. False when there is nothing to deliver.
    [[nodiscard]] bool Next(std::wstring_view& name, bool& more);
    // Appends the cleaned name unless an entry is exactly equal to it (letter case counts).
    // Out of memory leaves the list unchanged.
    void Add(std::wstring_view name) noexcept;
    // Erases the entry exactly equal to the cleaned name, if there is one.
    void Remove(std::wstring_view name) noexcept;
    // Replaces the file with one line per entry, each ended by CR LF. A name holding a character
    // above U+00FF cannot be stored in 8-bit text and is left out; the others are written.
    // On failure the previous file is left whole.
    [[nodiscard]] bool Save();

    // Removes every character but the word characters of any script, "|", "." and "-", in place.
    // Fails only when memory runs out, leaving the name empty.
    [[nodiscard]] static bool Sanitize(std::wstring& name) noexcept;

private:
    [[nodiscard]] std::wstring FilePath() const;

    std::wstring dataFolder;
    std::wstring folderPath;
    std::vector<std::wstring> hosts;
    // The same names as hosts, for the exact-match test of Add on long lists.
    std::unordered_set<std::wstring> known;
    std::size_t cursor = 0;
};
