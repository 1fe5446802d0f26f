// A simulated operation: the results a host gave, pulled one by one by the caller. Each
// delivered object lives until the next pull or the close, as the client documents it; what
// was never pulled is released at the close.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "mgmt/MiTypes.h"

namespace sim {

class SimClass;
class SimInstance;
class World;
enum class FinalDelivery;

struct Delivery {
    SimInstance* instance = nullptr;
    SimClass* classObject = nullptr;
    MI_Result result = MI_RESULT_OK;
    std::wstring message; // the host's words for a failure
};

class SimOperation {
public:
    SimOperation(World& world, bool classOperation, std::uint64_t session)
        : world_(&world), classOperation_(classOperation), session_(session) {}
    ~SimOperation();
    SimOperation(const SimOperation&) = delete;
    SimOperation& operator=(const SimOperation&) = delete;

    void Deliver(SimInstance* instance);
    void Deliver(SimClass* classObject);
    // A final failure in place of (further) results.
    void Fail(MI_Result result, std::wstring message = {});
    // Ends the results as the world delivers a final result: an empty result set still gets
    // one; a separate final delivery follows the last object.
    void Seal(FinalDelivery finalDelivery);
    void ForEachInstance(const std::function<void(SimInstance&)>& visit);

    bool ClassOperation() const { return classOperation_; }
    std::uint64_t Session() const { return session_; }
    bool Finished() const { return next_ >= deliveries_.size(); }
    // MI_Operation_Cancel was called: the next pull ends the results with a failure.
    void Cancel() { cancelled_ = true; }
    bool Cancelled() const { return cancelled_; }
    // The next delivery; what the previous one delivered is released now.
    const Delivery& Pull(bool& moreResults);
    // Ends the results here with a failure (an injected fault on a read).
    void FailFromHere(MI_Result result);

private:
    void ReleaseObjects(Delivery& delivery);

    World* world_;
    bool classOperation_;
    bool cancelled_ = false;
    std::uint64_t session_;
    std::vector<Delivery> deliveries_;
    std::size_t next_ = 0;
};

// Registers the operation with its world and fills the caller's handle.
void OpenOperation(World& world, std::unique_ptr<SimOperation> operation, MI_Operation* handle);

extern const MI_OperationFT simOperationTable;

}
