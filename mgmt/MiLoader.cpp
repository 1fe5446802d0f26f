// Binds the management client to System32's mi.dll, loaded at run time so that the program
// starts (and reports the failure) on systems without it.
#include "mgmt/MiClient.h"

namespace {

struct MiLibrary {
    MI_Application_InitializeV1_Function initialize = nullptr;
    const MI_ClientFT_V1* const* clientTable = nullptr;
};

// Loaded once and kept for the life of the process: the client's tables live inside it.
const MiLibrary& Library()
{
    static const MiLibrary library = [] {
        MiLibrary loaded;
        HMODULE module = LoadLibraryExW(L"mi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!module)
            return loaded;
        loaded.initialize = reinterpret_cast<MI_Application_InitializeV1_Function>(
            reinterpret_cast<void*>(GetProcAddress(module, "MI_Application_InitializeV1")));
        // The export is a data pointer to the table, not the table itself.
        loaded.clientTable = reinterpret_cast<const MI_ClientFT_V1* const*>(
            reinterpret_cast<void*>(GetProcAddress(module, "mi_clientFT_V1")));
        return loaded;
    }();
    return library;
}

}

MI_Result MI_Application_InitializeV1(MI_Uint32 flags, const MI_Char* applicationID,
                                      MI_Instance** extendedError, MI_Application* application)
{
    const MiLibrary& library = Library();
    if (!library.initialize)
        return MI_RESULT_FAILED;
    return library.initialize(flags, applicationID, extendedError, application);
}

const MI_ClientFT_V1* MiClientTable()
{
    const MiLibrary& library = Library();
    return library.clientTable ? *library.clientTable : nullptr;
}
