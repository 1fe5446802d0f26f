// A test build of mi.dll that has the client's table export but lacks its entry point,
// MI_Application_InitializeV1: a program that finds it must fail its start-up as it does
// without any mi.dll.
extern "C" {

__declspec(dllexport) const void* mi_clientFT_V1 = nullptr;

}
