// The program's entry point: COM for the thread, the Application, its window and loop, and a
// fixed order of teardown. The command line is not used.
#include <windows.h>
#include <objbase.h>

#include <memory>
#include <new>

#include "app/Application.h"

namespace {

int RunApplication(HINSTANCE instance, const wchar_t* commandLine, int showCommand)
{
    CoInitialize(nullptr);
    auto application = std::make_unique<Application>(instance);
    int exitCode = application->Init();
    if (exitCode != -1)
        exitCode = application->Run(commandLine, showCommand);
    application->Shutdown();
    CoUninitialize();
    application.reset();
    return exitCode;
}

}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand)
{
    // Running out of memory is the one failure the standard library reports by throwing;
    // it ends the program the way a fatal start-up failure does.
    try {
        return RunApplication(instance, commandLine, showCommand);
    } catch (const std::bad_alloc&) {
        return -1;
    }
}
