// A test build of mi.dll put where brackwin.exe looks for Windows' own: this Wine prefix's
// System32. The object takes it out again when it goes, so that every test starts from a
// System32 without mi.dll.
#pragma once

#include <string>

enum class TestMiDll { Simulated, Entryless };

class SystemMiDll {
public:
    explicit SystemMiDll(TestMiDll build);
    ~SystemMiDll();
    SystemMiDll(const SystemMiDll&) = delete;
    SystemMiDll& operator=(const SystemMiDll&) = delete;

    bool Installed() const { return installed_; }

    // Where the build of mi.dll lies in the build folder.
    static std::wstring BuiltPath(TestMiDll build);
    // System32\mi.dll.
    static std::wstring SystemPath();
    // Takes any mi.dll out of System32; false when one stays.
    static bool Remove();

private:
    bool installed_ = false;
};
