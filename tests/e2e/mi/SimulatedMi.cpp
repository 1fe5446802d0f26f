// A test build of mi.dll: the simulated hosts' client (the demo's world) behind the two exports
// a program finds in Windows' own, so that brackwin.exe can be run end to end under Wine.
// It is installed into the test prefix's System32 by the tests, never shipped.
#include "mgmt/MiClient.h"

extern "C" {

// Exported as MI_Application_InitializeV1 (see SimulatedMi.def): the program's own declaration
// of that name has C++ linkage.
MI_Result SimulatedMiInitialize(MI_Uint32 flags, const MI_Char* applicationID,
                                MI_Instance** extendedError, MI_Application* application)
{
    return MI_Application_InitializeV1(flags, applicationID, extendedError, application);
}

// Exported as the data mi_clientFT_V1: a pointer to the table of tables, as Windows' is.
const MI_ClientFT_V1* simulatedMiClientTable = MiClientTable();

}
