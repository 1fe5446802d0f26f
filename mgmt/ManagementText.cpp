#include "mgmt/ManagementText.h"

#include <array>

#include "base/Unique.h"

namespace {

// Indexed by the result code; an empty entry is a code without a message of its own.
constexpr std::array<const wchar_t*, 29> resultTexts{
    L"The operation was successful.",
    L"The management interface encountered an unspecified error.",
    L"Acess to the management interface object is denied.",
    L"The specified management interface namespace does not exist.",
    L"An invalid parameter was provided to the management interface.",
    L"The specified management interface class does not exist.",
    L"The requested management interface object does not exist.",
    L"The requested management interface operation is not supported.",
    L"Subclasses of the management interface object are preventing this operation.",
    L"Child instances of the management interface object are preventing this operation.",
    L"The target management interface superclass does not exist.",
    nullptr,
    L"The target management interface object does not implement the requested property.",
    L"A value supplied to a management interface method is invalid.",
    L"The specified management interface does not support this query language.",
    L"The query supplied to the management interface is invalid.",
    L"Unable to invoke the specified management interface method.",
    L"The specified management interface method does not exist.",
    nullptr,
    nullptr,
    L"The specified management interface namespace is not empty.",
    L"The target management interface context does not contain the indicated enumeration.",
    L"The target CIM server does not support the specified timeout.",
    L"The management interface has abandoned the pull operation.",
    L"Unable to abandon a concurrent management interface pull operation.",
    L"The target CIM server does not support filtering the enumeration.",
    L"The target CIM server does not allow continuation after an error.",
    L"The management interface operation failed because the target CIM server's limits were "
    L"exceeded.",
    L"The management interface operation failed because the taregt CIM server is shutting "
    L"down.",
};

// 11 is a defined code that the table leaves without a message; it gets one in the table's
// voice. Every other code without a message (18, 19, outside 0 to 28) is unknown to the client.
constexpr const wchar_t* alreadyExistsText =
    L"The specified management interface object already exists.";
constexpr const wchar_t* unknownResultText =
    L"The management interface reported an unrecognized error.";

constexpr std::array<const wchar_t*, 10> contextTexts{
    L"Unspecified",
    L"Initializing application-to-management interface connection",
    L"Applying computer name to management interface",
    L"Connecting to the target computer",
    L"Disconnecting from the target computer",
    L"Verifying the existence of a namespace",
    L"Retrieving the list of virtual machines",
    L"Retrieving information about a virtual machine",
    L"Retrieving an element value",
    L"Loading Virtual Machine Management Service",
};

constexpr const wchar_t* noSystemText = L"Unable to process error message.";

struct LocalTraits {
    static wchar_t* Empty() noexcept { return nullptr; }
    static void Close(wchar_t* buffer) noexcept { LocalFree(buffer); }
};
using UniqueLocalText = Unique<wchar_t*, LocalTraits>;

}

const wchar_t* ResultText(MI_Result code) noexcept
{
    if (code == MI_RESULT_ALREADY_EXISTS)
        return alreadyExistsText;
    const auto index = static_cast<int>(code);
    if (index < 0 || index >= static_cast<int>(resultTexts.size()) || !resultTexts[index])
        return unknownResultText;
    return resultTexts[index];
}

const wchar_t* ContextText(int index) noexcept
{
    if (index < 0 || index >= static_cast<int>(contextTexts.size()))
        return contextTexts[0];
    return contextTexts[index];
}

std::wstring FailureDetails(const HostFailure& failure)
{
    std::wstring details = ResultText(failure.result);
    if (!failure.message.empty())
        details += L"\r\nDetails: " + failure.message;
    return details;
}

std::wstring FailureOnOneLine(const HostFailure& failure)
{
    std::wstring details = ResultText(failure.result);
    if (!failure.message.empty())
        details += L" Details: " + OnOneLine(failure.message);
    return details;
}

std::wstring OnOneLine(const std::wstring& text)
{
    std::wstring line;
    line.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')
            continue;
        line += c == L'\t' || c == L'\r' || c == L'\n' ? L' ' : c;
    }
    return line;
}

std::wstring SystemErrorText(DWORD code)
{
    UniqueLocalText buffer;
    // With FORMAT_MESSAGE_ALLOCATE_BUFFER the buffer argument receives the system's allocation.
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
        nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
        reinterpret_cast<wchar_t*>(buffer.Put()), 0, nullptr);
    if (!buffer)
        return noSystemText;
    return std::wstring(buffer.Get(), length);
}
