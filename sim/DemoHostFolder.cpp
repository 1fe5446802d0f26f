// The demo keeps its host list apart from the real program's, so that trying it on an
// administrator's workstation never changes the real list.
#include "base/HostFolder.h"

const wchar_t* HostListFolder()
{
    return L"\\Orlund\\Brackwin Demo\\";
}
