#include "hosts/ComputerPicker.h"

#include <windows.h>
// objsel.h uses VARIANT without including its declaration.
#include <ole2.h>
#include <objsel.h>

#include <cstddef>
#include <new>

#include "base/Platform.h"
#include "hosts/ComOwners.h"

namespace {

// Every scope type but the target computer.
constexpr ULONG allScopesButTargetComputer =
    DSOP_SCOPE_TYPE_UPLEVEL_JOINED_DOMAIN | DSOP_SCOPE_TYPE_DOWNLEVEL_JOINED_DOMAIN
    | DSOP_SCOPE_TYPE_ENTERPRISE_DOMAIN | DSOP_SCOPE_TYPE_GLOBAL_CATALOG
    | DSOP_SCOPE_TYPE_EXTERNAL_UPLEVEL_DOMAIN | DSOP_SCOPE_TYPE_EXTERNAL_DOWNLEVEL_DOMAIN
    | DSOP_SCOPE_TYPE_WORKGROUP | DSOP_SCOPE_TYPE_USER_ENTERED_UPLEVEL_SCOPE
    | DSOP_SCOPE_TYPE_USER_ENTERED_DOWNLEVEL_SCOPE;
static_assert(allScopesButTargetComputer == 0x3FE);

// The picker reads cbSize as the size of the structure it was given: on x64 the pointers make
// them 48 and 56 bytes (28 and 40 are the sizes of a 32-bit build).
#ifdef _WIN64
static_assert(sizeof(DSOP_INIT_INFO) == 48 && sizeof(DSOP_SCOPE_INIT_INFO) == 56);
#endif

DSOP_SCOPE_INIT_INFO ComputerScope(ULONG types, ULONG flags, bool allModes)
{
    DSOP_SCOPE_INIT_INFO scope{};
    scope.cbSize = sizeof(scope);
    scope.flType = types;
    scope.flScope = flags;
    scope.FilterFlags.Uplevel.flBothModes = DSOP_FILTER_COMPUTERS;
    scope.FilterFlags.Uplevel.flMixedModeOnly = allModes ? DSOP_FILTER_COMPUTERS : 0;
    scope.FilterFlags.Uplevel.flNativeModeOnly = allModes ? DSOP_FILTER_COMPUTERS : 0;
    scope.FilterFlags.flDownlevel = DSOP_DOWNLEVEL_FILTER_COMPUTERS;
    return scope;
}

// The Win32 code carried by a result of the Win32 facility; 0 for any other result.
DWORD Win32Code(HRESULT result) noexcept
{
    return HRESULT_FACILITY(result) == FACILITY_WIN32 ? static_cast<DWORD>(HRESULT_CODE(result)) : 0;
}

PickerResult InitializeFailure(HRESULT result) noexcept
{
    if (result == E_OUTOFMEMORY)
        return PickerResult::InitializeOutOfMemory;
    if (result == E_INVALIDARG)
        return PickerResult::InitializeInvalidArgument;
    return PickerResult::InitializeFailed;
}

PickerResult GetDataFailure(HRESULT result) noexcept
{
    switch (result) {
    case OLE_E_NOTRUNNING: return PickerResult::DataNotRunning;
    case STG_E_MEDIUMFULL: return PickerResult::DataMediumFull;
    case E_UNEXPECTED: return PickerResult::DataUnexpected;
    case E_OUTOFMEMORY: return PickerResult::DataOutOfMemory;
    default: return PickerResult::DataFailed;
    }
}

// Copies the first selection's name out of the locked list. False when the list holds no item
// (or the block is too small to hold the item it claims); an item without a name, or a copy
// that cannot be made, leaves name untouched.
bool ReadFirstName(const GlobalMemoryLock& lock, std::wstring& name)
{
    const auto* list = static_cast<const DS_SELECTION_LIST*>(lock.Data());
    const SIZE_T size = lock.Size();
    if (!list || size < sizeof(list->cItems) || list->cItems == 0)
        return false;
    if (size < offsetof(DS_SELECTION_LIST, aDsSelection) + sizeof(DS_SELECTION))
        return false;
    const wchar_t* chosen = list->aDsSelection[0].pwzName;
    if (!chosen)
        return true;
    try {
        name = chosen;
    } catch (const std::bad_alloc&) {
        // Treated as a choice without a name.
    }
    return true;
}

}

PickerResult PickComputer(HWND parent, std::wstring& name, DWORD& windowsError)
{
    windowsError = 0;
    if (!parent || parent == GetDesktopWindow())
        return PickerResult::InvalidParent;

    // Declared in reverse order of release: the medium goes first, then the data object,
    // then the picker.
    UniqueCom<IDsObjectPicker> picker;
    if (FAILED(CurrentPlatform().createInstance(CLSID_DsObjectPicker, nullptr, CLSCTX_INPROC_SERVER,
                                                IID_IDsObjectPicker,
                                                reinterpret_cast<void**>(picker.Put()))))
        return PickerResult::CreateFailed;

    DSOP_SCOPE_INIT_INFO scopes[2] = {
        ComputerScope(allScopesButTargetComputer, DSOP_SCOPE_FLAG_DEFAULT_FILTER_COMPUTERS, true),
        ComputerScope(DSOP_SCOPE_TYPE_UPLEVEL_JOINED_DOMAIN,
                      DSOP_SCOPE_FLAG_STARTING_SCOPE | DSOP_SCOPE_FLAG_DEFAULT_FILTER_COMPUTERS,
                      false),
    };
    DSOP_INIT_INFO init{};
    init.cbSize = sizeof(init);
    init.pwzTargetComputer = nullptr;
    init.cDsScopeInfos = 2;
    init.aDsScopeInfos = scopes;
    // No DSOP_FLAG_MULTISELECT: one object at most.
    init.flOptions = DSOP_FLAG_SKIP_TARGET_COMPUTER_DC_CHECK;

    PickerResult result = PickerResult::Ok;
    HRESULT status = picker.Get()->Initialize(&init);
    if (status != S_OK) {
        result = InitializeFailure(status);
        if (result != PickerResult::InitializeFailed)
            return result;
        windowsError = Win32Code(status);
        // Any other success code goes on; 5 stands unless a later step sets another value.
        if (FAILED(status))
            return result;
    }

    UniqueCom<IDataObject> selection;
    status = picker.Get()->InvokeDialog(parent, selection.Put());
    if (status == S_FALSE)
        return result;
    if (status == E_UNEXPECTED)
        return PickerResult::DialogUnexpected;
    if (FAILED(status)) {
        if (HRESULT_FACILITY(status) == FACILITY_WIN32)
            windowsError = Win32Code(status);
        return PickerResult::DialogFailed;
    }
    if (!selection)
        return PickerResult::NoData;

    const UINT format = CurrentPlatform().registerClipboardFormat(CFSTR_DSOP_DS_SELECTION_LIST);
    if (LOWORD(format) == 0) {
        windowsError = GetLastError();
        return PickerResult::FormatNotRegistered;
    }

    FORMATETC request{static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    UniqueStgMedium medium;
    status = selection.Get()->GetData(&request, medium.Put());
    if (FAILED(status)) {
        result = GetDataFailure(status);
        if (result == PickerResult::DataFailed && HRESULT_FACILITY(status) == FACILITY_WIN32)
            windowsError = Win32Code(status);
        return result;
    }
    if (medium.Get().tymed != TYMED_HGLOBAL)
        return PickerResult::NotGlobalMemory;

    const GlobalMemoryLock lock(medium.Get().hGlobal);
    if (!ReadFirstName(lock, name))
        return PickerResult::NoData;
    return result;
}
