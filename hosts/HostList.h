// The known host names, one entry per host (letter case does not make another host), backed
// by the 8-bit text file vmhosts.txt in a folder under the user's roaming application-data
// folder ("\Orlund\Brackwin\" unless told). The file is shared with other instances of the
// program: a save applies this run's changes to what the file holds at that moment.
// A list belongs to the thread that made it (the window's): every operation checks so.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "base/ThreadCheck.h"
#include "hosts/HostNames.h"

// How a save ended. Every outcome but Saved leaves the file exactly as it was and keeps this
// run's changes for a later save.
enum class SaveOutcome {
    Saved,             // written, or nothing to write
    FolderUnavailable, // the data folder cannot be found or created
    FileUnreadable,    // the file cannot be read completely, so its hosts cannot be kept
    FileReadOnly,      // the file is read-only
    WriteFailed,       // the new file cannot be written or put in place
};

struct SaveResult {
    SaveOutcome outcome = SaveOutcome::Saved;
    DWORD error = ERROR_SUCCESS; // the Windows error behind the outcome, when there is one
};

class HostList {
public:
    static constexpr wchar_t defaultDataFolder[] = L"\\Orlund\\Brackwin\\";

    // The data folder is named relative to the application-data folder, with both backslashes.
    explicit HostList(std::wstring_view dataFolder = defaultDataFolder);

    // Finds the data folder (once it has been found, it is kept) and creates it with its
    // parents; whether the folder now exists.
    [[nodiscard]] bool PrepareFolder();
    // Adds the file's names, cleaned, in file order, the first spelling of each host; false
    // when the file does not exist or cannot be opened. After a read that fails part-way the
    // names read so far stand.
    [[nodiscard]] bool Load();
    // Delivers the entry at the cursor and moves on, wrapping to the start after the last one.
    // The view is valid until the list next changes. False when there is nothing to deliver.
    [[nodiscard]] bool Next(std::wstring_view& name, bool& more);
    // Appends the cleaned name unless the list holds it in any letter case; a new host is a
    // change of this run. Out of memory leaves the list unchanged.
    void Add(std::wstring_view name) noexcept;
    // Forgets the host of the cleaned name in every letter case: a change of this run.
    void Remove(std::wstring_view name) noexcept;
    // Reads the file again and replaces it with what it holds now plus this run's changes:
    // hosts added join at the end, hosts forgotten leave. The file is written in the 8-bit
    // format, one line per host ended by CR LF; a name holding a character above U+00FF
    // cannot be stored so and is left out. Nothing is written when the run changed nothing.
    [[nodiscard]] SaveResult Save() noexcept;

    // The host list file; empty while the data folder is not known.
    std::wstring FilePath() const;

    // Removes every character but the word characters of any script, "|", "." and "-", in place.
    // Fails only when memory runs out, leaving the name empty.
    [[nodiscard]] static bool Sanitize(std::wstring& name) noexcept;

private:
    // The file's names now, without this run's forgotten hosts, followed by its added ones.
    HostNames Merged(const std::vector<std::wstring>& fileLines) const;

    std::wstring dataFolder;
    std::wstring folderPath;
    HostNames hosts;
    // This run's changes since the last save: new hosts in order of entry, and the keys of
    // the hosts forgotten. A host is in at most one of them.
    std::vector<std::wstring> added;
    std::unordered_set<std::wstring> forgotten;
    std::size_t cursor = 0;
    OwningThread owner;
};
