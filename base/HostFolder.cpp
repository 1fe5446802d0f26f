#include "base/HostFolder.h"

const wchar_t* HostListFolder()
{
    return L"\\Orlund\\Brackwin\\";
}
