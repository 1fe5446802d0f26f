// How many management calls each user action costs on the demo world, next to the count of
// the documented call sequences.
#pragma once

// Prints one line per action; false when the scenario could not be played through.
bool PrintCallCounts();
