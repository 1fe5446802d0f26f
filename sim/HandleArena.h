// Handle memory that is never reused while its world lives. A released object's handle keeps
// its few bytes, so that a late call through it is recognised as a call on a released object
// and never reaches an object made later at the same address; the object itself is freed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace sim {

template <typename Handle>
class HandleArena {
public:
    // A zeroed handle that no other object of this arena ever had.
    Handle* Take()
    {
        if (used_ == chunkSize) {
            chunks_.push_back(std::make_unique<Handle[]>(chunkSize));
            starts_.emplace(reinterpret_cast<std::uintptr_t>(chunks_.back().get()), chunks_.size() - 1);
            used_ = 0;
        }
        return &chunks_.back()[used_++];
    }

    // Whether the address is one of the handles this arena gave out.
    bool Owns(const void* address) const
    {
        const auto value = reinterpret_cast<std::uintptr_t>(address);
        auto chunk = starts_.upper_bound(value);
        if (chunk == starts_.begin())
            return false;
        --chunk;
        const std::uintptr_t offset = value - chunk->first;
        const bool last = chunk->second + 1 == chunks_.size();
        const std::size_t given = last ? used_ : chunkSize;
        return offset % sizeof(Handle) == 0 && offset / sizeof(Handle) < given;
    }

private:
    static constexpr std::size_t chunkSize = 1024;

    std::vector<std::unique_ptr<Handle[]>> chunks_;
    std::map<std::uintptr_t, std::size_t> starts_; // chunk address -> index in chunks_
    std::size_t used_ = chunkSize;
};

}
