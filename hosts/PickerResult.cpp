#include "hosts/PickerResult.h"

#include <array>

namespace {

// Indexed by the result value.
constexpr std::array<const wchar_t*, 16> resultTexts{
    L"No error.",
    L"The indicated parent window is invalid.",
    L"The local Active Directory COM library reported an error.",
    L"An invalid argument was supplied to the Active Directory browse dialog.",
    L"Insufficient memory available to initialize the Active Directory browsing dialog.",
    L"A Windows error occurred while initializing the Active Directory browsing dialog.",
    L"The Active Directory selection dialog box encountered an unexpected error.",
    L"A Windows error occurred while selecting an Active Directory object.",
    L"An error occurred during data transfer from the Active Directory dialog.",
    L"The Windows OLE translation system for the computer object is not operating.",
    L"A memory error occurred while translating the selected computer object.",
    L"An unknown COM error occurred while translating the selected computer object.",
    L"There is insufficient memory to translate the selected computer object.",
    L"A windows error occurred while translating the selected computer object.",
    L"The selected object is in an invalid format.",
    L"The selected object contains no data.",
};

constexpr const wchar_t* unknownResultText =
    L"An unknown error occurred while selecting an Active Directory object.";

}

const wchar_t* PickerResultText(PickerResult result) noexcept
{
    const auto index = static_cast<int>(result);
    if (index < 0 || index >= static_cast<int>(resultTexts.size()))
        return unknownResultText;
    return resultTexts[index];
}
