#include <gtest/gtest.h>

#include <string>

#include "mgmt/ManagementText.h"

namespace {

struct ResultRow {
    int code;
    const wchar_t* text;
};

// Every code of the enumeration that has a message, texts as stored (misspellings included).
constexpr ResultRow resultRows[] = {
    {0, L"The operation was successful."},
    {1, L"The management interface encountered an unspecified error."},
    {2, L"Acess to the management interface object is denied."},
    {3, L"The specified management interface namespace does not exist."},
    {4, L"An invalid parameter was provided to the management interface."},
    {5, L"The specified management interface class does not exist."},
    {6, L"The requested management interface object does not exist."},
    {7, L"The requested management interface operation is not supported."},
    {8, L"Subclasses of the management interface object are preventing this operation."},
    {9, L"Child instances of the management interface object are preventing this operation."},
    {10, L"The target management interface superclass does not exist."},
    {12, L"The target management interface object does not implement the requested property."},
    {13, L"A value supplied to a management interface method is invalid."},
    {14, L"The specified management interface does not support this query language."},
    {15, L"The query supplied to the management interface is invalid."},
    {16, L"Unable to invoke the specified management interface method."},
    {17, L"The specified management interface method does not exist."},
    {20, L"The specified management interface namespace is not empty."},
    {21, L"The target management interface context does not contain the indicated enumeration."},
    {22, L"The target CIM server does not support the specified timeout."},
    {23, L"The management interface has abandoned the pull operation."},
    {24, L"Unable to abandon a concurrent management interface pull operation."},
    {25, L"The target CIM server does not support filtering the enumeration."},
    {26, L"The target CIM server does not allow continuation after an error."},
    {27, L"The management interface operation failed because the target CIM server's limits were "
         L"exceeded."},
    {28, L"The management interface operation failed because the taregt CIM server is shutting "
         L"down."},
};

TEST(ResultText, EveryCodeWithAMessageGivesItsExactText)
{
    for (const auto& row : resultRows)
        EXPECT_STREQ(ResultText(static_cast<MI_Result>(row.code)), row.text) << "code " << row.code;
}

TEST(ResultText, AlreadyExistsHasATextOfItsOwn)
{
    EXPECT_STREQ(ResultText(MI_RESULT_ALREADY_EXISTS),
                 L"The specified management interface object already exists.");
}

TEST(ResultText, CodesOutsideTheEnumerationGiveTheUnknownText)
{
    constexpr const wchar_t* unknown = L"The management interface reported an unrecognized error.";
    for (const int code : {18, 19, 29, 30, 1000, 0x7FFFFFFF, -1, -29, static_cast<int>(0x80000000)})
        EXPECT_STREQ(ResultText(static_cast<MI_Result>(code)), unknown) << "code " << code;
}

TEST(ContextText, EachIndexGivesItsText)
{
    constexpr const wchar_t* texts[] = {
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
    for (int index = 0; index < 10; ++index)
        EXPECT_STREQ(ContextText(index), texts[index]) << "index " << index;
}

TEST(ContextText, AnyOtherIndexIsUnspecified)
{
    for (const int index : {10, 11, 1000, -1, -10, static_cast<int>(0x80000000)})
        EXPECT_STREQ(ContextText(index), L"Unspecified") << "index " << index;
}

// The system's words for a code, read from the system into a buffer of the test's own.
std::wstring SystemWords(DWORD code)
{
    wchar_t buffer[1024] = {};
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                       MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer, 1024, nullptr);
    return std::wstring(buffer, length);
}

TEST(SystemErrorText, KnownCodesGiveTheSystemsWholeTextWithItsLineBreak)
{
    for (const DWORD code : {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION,
                             ERROR_INVALID_PARAMETER}) {
        const std::wstring words = SystemWords(code);
        ASSERT_GT(words.size(), 2u) << code;
        EXPECT_EQ(SystemErrorText(code), words) << code;
        // The system's text is passed on as it comes, with its own trailing line break.
        EXPECT_EQ(SystemErrorText(code).back(), L'\n') << code;
    }
}

TEST(SystemErrorText, ATextWithInsertsKeepsThemAsWritten)
{
    // The message-not-found text names a message number and a file as %1 and %2; without
    // arguments they must stay in place rather than fail the lookup.
    const std::wstring text = SystemErrorText(ERROR_MR_MID_NOT_FOUND);
    EXPECT_NE(text.find(L"%1"), std::wstring::npos);
    EXPECT_NE(text.find(L"%2"), std::wstring::npos);
    EXPECT_EQ(text, SystemWords(ERROR_MR_MID_NOT_FOUND));
}

TEST(SystemErrorText, CodeUnknownToTheSystemGivesTheFallback)
{
    for (const DWORD code : {0x0000FFFFul, 0x2000ABCDul, 0xDEADBEEFul})
        EXPECT_EQ(SystemErrorText(code), L"Unable to process error message.") << code;
}

}
