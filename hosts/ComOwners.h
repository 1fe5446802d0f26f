// Owners for what a COM exchange hands out: interface pointers, a storage medium filled by
// IDataObject::GetData, and a lock on global memory. Each releases once, on every path.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <ole2.h>

#include "base/Unique.h"

template <typename Interface>
struct ComTraits {
    static Interface* Empty() noexcept { return nullptr; }
    static void Close(Interface* object) noexcept { object->Release(); }
};
template <typename Interface>
using UniqueCom = Unique<Interface*, ComTraits<Interface>>;

// Released with ReleaseStgMedium when it was filled (its type is not TYMED_NULL).
class UniqueStgMedium {
public:
    UniqueStgMedium() noexcept = default;
    UniqueStgMedium(const UniqueStgMedium&) = delete;
    UniqueStgMedium& operator=(const UniqueStgMedium&) = delete;
    ~UniqueStgMedium()
    {
        if (medium_.tymed != TYMED_NULL)
            ReleaseStgMedium(&medium_);
    }

    // For GetData to fill, once; it starts zeroed.
    STGMEDIUM* Put() noexcept { return &medium_; }
    const STGMEDIUM& Get() const noexcept { return medium_; }

private:
    STGMEDIUM medium_{};
};

// Locks global memory for reading and unlocks it when it goes out of scope.
class GlobalMemoryLock {
public:
    explicit GlobalMemoryLock(HGLOBAL memory) noexcept
        : memory_(memory), data_(GlobalLock(memory))
    {
    }
    GlobalMemoryLock(const GlobalMemoryLock&) = delete;
    GlobalMemoryLock& operator=(const GlobalMemoryLock&) = delete;
    ~GlobalMemoryLock()
    {
        if (data_)
            GlobalUnlock(memory_);
    }

    // Null when the memory could not be locked.
    const void* Data() const noexcept { return data_; }
    // The size of the block; 0 when it is not known.
    SIZE_T Size() const noexcept { return GlobalSize(memory_); }

private:
    HGLOBAL memory_;
    void* data_;
};
