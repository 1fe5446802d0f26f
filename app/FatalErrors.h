// The start-up failures that end the program before it has a window.
#pragma once

inline constexpr wchar_t computerNameFailureText[] =
    L"Unable to determine local computer name. Check the condition of this system.";
inline constexpr wchar_t computerNameFailureCaption[] = L"Critical Error";
inline constexpr wchar_t managementFailureText[] =
    L"Unable to initialize the Windows Management Interface. This is one of those system problems "
    L"that should never happen, so the application will exit to avoid causing damage.";
inline constexpr wchar_t serializerFailureText[] =
    L"Unable to create a serializer for the Windows Management Interface. This is one of those "
    L"system problems that should never happen, so the application will exit to avoid causing "
    L"damage.";
inline constexpr wchar_t programCaption[] = L"Brackwin";
