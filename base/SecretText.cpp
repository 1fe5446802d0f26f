#include "base/SecretText.h"

void (*SecretText::observeWipe)(const wchar_t* buffer, size_t characters) = nullptr;

SecretText::~SecretText()
{
    SecureZeroMemory(buffer_.get(), capacity * sizeof(wchar_t));
    if (observeWipe)
        observeWipe(buffer_.get(), capacity);
}

void SecretText::Assign(const wchar_t* text) noexcept
{
    size_t length = 0;
    while (text && text[length] && length + 1 < capacity) {
        buffer_[length] = text[length];
        ++length;
    }
    SecureZeroMemory(buffer_.get() + length, (capacity - length) * sizeof(wchar_t));
}
