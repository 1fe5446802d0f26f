// How long connecting to a host, listing it and filling the window take as hosts grow.
#pragma once

// Prints one line per host size (100 to 50,000 VMs); false when a host could not be listed.
bool PrintListingTimes();
