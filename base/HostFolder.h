// The folder of the host list under the roaming application-data folder. Each program links
// its own, so that the demo never touches the real program's list.
#pragma once

const wchar_t* HostListFolder();
