// Start-up and size figures of the programs next to the benchmark.
#pragma once

// Prints the time from process start to the main window shown, for brackwin-demo.exe and
// for a bare dialog program started the same way, their ratio, and the sizes of both
// Brackwin programs; false when a program could not be started.
bool PrintStartAndSize();
