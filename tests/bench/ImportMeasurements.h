// What importing an identities file costs: the exported file of 10,000 machines read back
// into changes.
#pragma once

// Milliseconds to parse the file into changes, or a negative value when it did not give one
// change a machine.
double ParseIdentitiesFile();
// Milliseconds from an edited file of 10,000 machines, each with a new asset tag, to the
// identities table showing them pending; negative when not every machine became pending.
double ImportIntoPendingChanges();
