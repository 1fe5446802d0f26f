// The words of a written identity in the identities window: each machine's Result column and
// the summary line after Apply Changes.
#pragma once

#include <string>
#include <vector>

#include "vm/IdentityWriting.h"

// "Saved", "Saved, but the host now holds ...", "Skipped: ...", "Refused by the host: ...",
// "Not saved: ..." or "Not written: ...". A generation 2 machine's Num Lock is not compared.
std::wstring WriteResultText(const IdentityWrite& write, int generation);

// "9 saved, 2 skipped, 1 refused.": the outcomes that occurred, in that order, then those not
// saved and those not written.
std::wstring ApplySummary(const std::vector<IdentityWrite>& writes);
