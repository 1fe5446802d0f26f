// A scripted stand-in for the directory object picker, handed out through the platform's
// creation of COM objects: a fake IDsObjectPicker, the fake IDataObject its dialog returns, and
// the owner of the storage medium GetData fills. Each object writes its calls and its final
// release into one log, so a test sees the calling order, where the picker stopped, and that
// everything created was released.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <objsel.h>

#include <optional>
#include <string>
#include <vector>

// What a selection list in global memory holds.
struct SelectionScript {
    std::vector<std::optional<std::wstring>> names;  // nullopt: an item without a name
    bool lockable = true;                            // false: memory that GlobalLock refuses
    bool truncated = false;                          // claims its items, holds only the count
};

struct PickerScript {
    HRESULT create = S_OK;
    HRESULT initialize = S_OK;
    HRESULT invoke = S_OK;
    bool returnsData = true;  // InvokeDialog hands out a data object
    UINT format = 0;          // 0: register for real; otherwise the registration's answer
    DWORD registerError = 0;  // last error set by a scripted registration
    HRESULT getData = S_OK;
    DWORD tymed = TYMED_HGLOBAL;  // the medium's type when GetData fills it
    bool fillsOnFailure = false;  // GetData fills the medium although it fails
    SelectionScript selection{{std::wstring(L"hv-lab01.example.com")}};
};

// What the picker was given, for the configuration test.
struct PickerRecord {
    DSOP_INIT_INFO init{};
    std::vector<DSOP_SCOPE_INIT_INFO> scopes;
    HWND dialogParent = nullptr;
    FORMATETC request{};
    STGMEDIUM mediumOnEntry{};
    UINT registeredFormat = 0;
    CLSID classId{};
    IID interfaceId{};
    IUnknown* outer = reinterpret_cast<IUnknown*>(1);
    DWORD context = 0;
};

// Binds the fake picker into the platform for its lifetime; restores the previous bindings.
class FakePickerScope {
public:
    explicit FakePickerScope(const PickerScript& script);
    ~FakePickerScope();
    FakePickerScope(const FakePickerScope&) = delete;
    FakePickerScope& operator=(const FakePickerScope&) = delete;

    // Calls and final releases, in order, separated by blanks.
    const std::string& Log() const;
    const PickerRecord& Record() const;
    // Fake objects created and not yet finally released.
    int Live() const;
};
