// What writing new identities to many virtual machines costs, next to one Apply in the main
// window.
#pragma once

// Prints round trips per VM and the time on the hosts' clock for 100 VMs of one host; false
// when a write did not save.
bool PrintApplyFigures();
