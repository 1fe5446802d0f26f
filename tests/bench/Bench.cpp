// Prints how long the operations a user waits for take, one figure a line: each measurement
// runs a few times against the real main window and the simulated hosts, and its fastest run
// is printed.
#include <cstdio>

#include "tests/bench/ApplyMeasurements.h"
#include "tests/bench/CallCounts.h"
#include "tests/bench/FillMeasurements.h"
#include "tests/bench/IdentityMeasurements.h"
#include "tests/bench/ImportMeasurements.h"
#include "tests/bench/Responsiveness.h"
#include "tests/bench/ScaleMeasurements.h"
#include "tests/bench/StartMeasurements.h"

namespace {

struct Measurement {
    const char* name;
    double (*run)();
};

constexpr Measurement measurements[] = {
    {"VM list filled with 10,000 VMs", FillVmList},
    {"VM list refilled from 10,000 VMs just read", RefillVmList},
    {"host combo filled from 10,000 remembered hosts", FillHostCombo},
    {"identities file of 10,000 VMs parsed into changes", ParseIdentitiesFile},
    {"edited identities file of 10,000 VMs imported into pending changes", ImportIntoPendingChanges},
};

constexpr int runs = 3;

}

int main()
{
    int status = 0;
    for (const Measurement& measurement : measurements) {
        double best = -1;
        for (int run = 0; run < runs; ++run) {
            const double elapsed = measurement.run();
            if (elapsed < 0) {
                best = -1;
                break;
            }
            if (best < 0 || elapsed < best)
                best = elapsed;
        }
        if (best < 0) {
            std::printf("%s: failed\n", measurement.name);
            status = 1;
        } else {
            std::printf("%s: %.1f ms\n", measurement.name, best);
        }
        std::fflush(stdout);
    }
    if (!PrintCallCounts() || !PrintListingTimes() || !PrintStartAndSize() || !PrintResponsiveness() ||
        !PrintIdentityFigures() || !PrintApplyFigures())
        status = 1;
    return status;
}
