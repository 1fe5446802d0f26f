#include "vm/FreshIdentity.h"

#include <windows.h>
#include <ntsecapi.h>

#include <array>

std::optional<std::wstring> NewSerialNumber()
{
    constexpr size_t digits = 26;
    std::wstring serial;
    std::array<unsigned char, 64> bytes{};
    size_t used = bytes.size();
    while (serial.size() < digits + digits / 4) {
        if (used == bytes.size()) {
            if (!RtlGenRandom(bytes.data(), static_cast<ULONG>(bytes.size())))
                return std::nullopt;
            used = 0;
        }
        // Bytes from 250 up are dropped, so that each digit is equally likely.
        const unsigned char byte = bytes[used++];
        if (byte >= 250)
            continue;
        serial += static_cast<wchar_t>(L'0' + byte % 10);
        if (serial.size() % 5 == 4 && serial.size() < 32)
            serial += L'-';
    }
    return serial;
}
