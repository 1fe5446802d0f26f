#include "tests/bench/ImportMeasurements.h"

#include <cstdio>
#include <string>
#include <vector>

#include "tests/bench/Stopwatch.h"
#include "ui/IdentityCsv.h"
#include "ui/IdentityImport.h"
#include "ui/IdentityTable.h"

namespace {

constexpr int hosts = 20;
constexpr int machinesPerHost = 500;

// 20 hosts of 500 machines, each with its own VM ID and values; every other one generation 2.
std::vector<VmIdentity> Fleet()
{
    std::vector<VmIdentity> fleet;
    fleet.reserve(hosts * machinesPerHost);
    for (int host = 1; host <= hosts; ++host) {
        for (int index = 0; index < machinesPerHost; ++index) {
            const int number = (host - 1) * machinesPerHost + index;
            wchar_t vmId[40];
            swprintf(vmId, 40, L"%08X-1B3D-4E5F-8071-92A3B4C5D6E7", number);
            wchar_t guid[40];
            swprintf(guid, 40, L"{7E8F9A0B-1C2D-4E3F-8051-%012X}", number);
            VmIdentity machine;
            machine.host = L"HV-FLEET" + std::to_wstring(host);
            machine.name = L"VM " + std::to_wstring(index);
            machine.vmId = vmId;
            machine.enabledState = 2;
            machine.generation = 1 + number % 2;
            machine.numLock = number % 3 == 0;
            machine.biosGuid = guid;
            machine.biosSerialNumber = L"7736-" + std::to_wstring(number);
            machine.baseBoardSerialNumber = L"BB-" + std::to_wstring(number);
            machine.chassisSerialNumber = L"CH-" + std::to_wstring(number);
            machine.chassisAssetTag = L"Asset " + std::to_wstring(number);
            fleet.push_back(std::move(machine));
        }
    }
    return fleet;
}

}

double ParseIdentitiesFile()
{
    const std::vector<VmIdentity> fleet = Fleet();
    std::vector<const VmIdentity*> rows;
    for (const VmIdentity& machine : fleet)
        rows.push_back(&machine);
    const std::string file = IdentityCsv(rows);
    std::vector<ImportedChange> changes;
    ImportFailure failure;
    const Stopwatch stopwatch;
    const bool imported = ParseIdentityImport(file, rows, changes, failure);
    const double elapsed = stopwatch.Milliseconds();
    if (!imported || changes.size() != fleet.size()) {
        std::fprintf(stderr, "import: line %zu %ls\n", failure.line, failure.text.c_str());
        return -1;
    }
    return elapsed;
}

double ImportIntoPendingChanges()
{
    const std::vector<VmIdentity> fleet = Fleet();
    IdentityTable table;
    for (int host = 0; host < hosts; ++host) {
        const auto first = fleet.begin() + host * machinesPerHost;
        table.ShowHost(first->host, std::vector<VmIdentity>(first, first + machinesPerHost));
    }
    std::vector<VmIdentity> edited = fleet;
    std::vector<const VmIdentity*> rows;
    for (VmIdentity& machine : edited) {
        machine.chassisAssetTag += L" new";
        rows.push_back(&machine);
    }
    const std::string file = IdentityCsv(rows);
    const Stopwatch stopwatch;
    std::vector<ImportedChange> imported;
    ImportFailure failure;
    if (!ParseIdentityImport(file, table.RowsInOrder(), imported, failure))
        return -1;
    std::vector<std::pair<size_t, IdentityChange>> changes;
    changes.reserve(imported.size());
    for (ImportedChange& change : imported)
        changes.emplace_back(change.row, std::move(change.change));
    table.MakePending(changes);
    const double elapsed = stopwatch.Milliseconds();
    return table.PendingCount() == fleet.size() ? elapsed : -1;
}
