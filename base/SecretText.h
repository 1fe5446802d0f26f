// A secret (a password) in one buffer of fixed size that is wiped with SecureZeroMemory when
// the owner goes, on every path, and is never copied or moved elsewhere. Depends on nothing
// else of ours, so every layer may use it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>

class SecretText {
public:
    // Room for the longest password the credential prompt takes, and its terminator.
    static constexpr size_t capacity = 257;

    SecretText() : buffer_(new wchar_t[capacity]()) {}
    ~SecretText();
    SecretText(const SecretText&) = delete;
    SecretText& operator=(const SecretText&) = delete;

    // The terminated text; empty until something is written into Buffer().
    const wchar_t* Text() const noexcept { return buffer_.get(); }
    // For a call that writes the secret in place: capacity characters.
    wchar_t* Buffer() noexcept { return buffer_.get(); }
    // Copies a terminated text in (cut to fit); the source is the caller's to wipe.
    void Assign(const wchar_t* text) noexcept;
    bool Empty() const noexcept { return buffer_[0] == L'\0'; }

    // Test seam: called with the buffer just after it was wiped, before it is freed.
    static void (*observeWipe)(const wchar_t* buffer, size_t characters);

private:
    std::unique_ptr<wchar_t[]> buffer_;
};
