// How long the window's thread goes without handling a message while the demo's operations
// run at the hosts' real pace.
#pragma once

// Prints the longest gap and each operation's length; false when the scenario failed.
bool PrintResponsiveness();
