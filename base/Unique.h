// Move-only owners for handles and resources: describe a kind once (its empty value and how it
// is released) and the owner releases it exactly once, on every path. Depends on nothing else
// of ours, so every layer may use it.
#pragma once

#include <windows.h>

#include <utility>

template <typename T, typename Traits>
class Unique {
public:
    Unique() noexcept = default;
    explicit Unique(T value) noexcept : value_(value) {}
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& other) noexcept : value_(other.Release()) {}
    Unique& operator=(Unique&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    ~Unique() { Reset(); }

    T Get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::Empty(); }

    // Receives a new value from an out-parameter; whatever was held is released first.
    T* Put() noexcept
    {
        Reset();
        return &value_;
    }

    T Release() noexcept { return std::exchange(value_, Traits::Empty()); }

    void Reset(T value = Traits::Empty()) noexcept
    {
        T old = std::exchange(value_, value);
        if (old != Traits::Empty())
            Traits::Close(old);
    }

private:
    T value_ = Traits::Empty();
};

struct HandleTraits {
    static HANDLE Empty() noexcept { return nullptr; }
    static void Close(HANDLE handle) noexcept { CloseHandle(handle); }
};
using UniqueHandle = Unique<HANDLE, HandleTraits>;

// CreateFileW and CreateNamedPipeW fail with INVALID_HANDLE_VALUE, not null.
struct FileTraits {
    static HANDLE Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE file) noexcept { CloseHandle(file); }
};
using UniqueFile = Unique<HANDLE, FileTraits>;

template <typename Gdi>
struct GdiTraits {
    static Gdi Empty() noexcept { return nullptr; }
    static void Close(Gdi object) noexcept { DeleteObject(object); }
};
using UniqueBrush = Unique<HBRUSH, GdiTraits<HBRUSH>>;

struct IconTraits {
    static HICON Empty() noexcept { return nullptr; }
    static void Close(HICON icon) noexcept { DestroyIcon(icon); }
};
using UniqueIcon = Unique<HICON, IconTraits>;

struct WindowTraits {
    static HWND Empty() noexcept { return nullptr; }
    static void Close(HWND window) noexcept { DestroyWindow(window); }
};
using UniqueWindow = Unique<HWND, WindowTraits>;

struct MenuTraits {
    static HMENU Empty() noexcept { return nullptr; }
    static void Close(HMENU menu) noexcept { DestroyMenu(menu); }
};
using UniqueMenu = Unique<HMENU, MenuTraits>;

// Runs a clean-up at scope exit unless dismissed once the work it guards has been committed.
template <typename Action>
class ScopeGuard {
public:
    explicit ScopeGuard(Action action) noexcept : action_(std::move(action)) {}
    ScopeGuard(const ScopeGuard&) = delete;
    ScopeGuard& operator=(const ScopeGuard&) = delete;
    ~ScopeGuard()
    {
        if (armed_)
            action_();
    }
    void Dismiss() noexcept { armed_ = false; }

private:
    Action action_;
    bool armed_ = true;
};
