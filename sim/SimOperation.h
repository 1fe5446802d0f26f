// A simulated operation: the results a host gave, pulled one by one by the caller. Everything
// it delivered belongs to it until it is closed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "mgmt/MiTypes.h"

namespace sim {

class SimClass;
class SimInstance;
class World;

struct Delivery {
    SimInstance* instance = nullptr;
    SimClass* classObject = nullptr;
    MI_Result result = MI_RESULT_OK;
};

class SimOperation {
public:
    SimOperation(World& world, bool classOperation) : world_(&world), classOperation_(classOperation) {}
    ~SimOperation();
    SimOperation(const SimOperation&) = delete;
    SimOperation& operator=(const SimOperation&) = delete;

    void Deliver(Delivery delivery) { deliveries_.push_back(delivery); }
    // A final failure in place of (further) results.
    void Fail(MI_Result result) { deliveries_.push_back({nullptr, nullptr, result}); }

    bool ClassOperation() const { return classOperation_; }
    bool Finished() const { return next_ >= deliveries_.size(); }
    // The next delivery; the operation has none left after the last one.
    Delivery Pull(bool& moreResults);
    // Ends the results here with a failure (an injected fault on a read).
    void FailFromHere(MI_Result result);

private:
    World* world_;
    bool classOperation_;
    std::vector<Delivery> deliveries_;
    std::size_t next_ = 0;
};

// Registers the operation with its world and fills the caller's handle.
void OpenOperation(World& world, std::unique_ptr<SimOperation> operation, MI_Operation* handle);

extern const MI_OperationFT simOperationTable;

}
