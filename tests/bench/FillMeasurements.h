// How long the long lists of the main window take to fill: the machines of a host with
// 10,000 VMs, and the host combo from 10,000 remembered hosts. Each returns milliseconds, or
// a negative value when the list did not end up full.
#pragma once

// From Enter in the host field to the filled list: connecting, the host's answer, the fill.
double FillVmList();
// The list alone, from the inventory just read: the part of the above that is the window's.
double RefillVmList();
// The combo from the host list file, as at start.
double FillHostCombo();
