#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "base/Unique.h"
#include "tests/hosts/HostListFixture.h"

namespace {

using Names = std::vector<std::wstring>;

using HostListMerge = HostListTest;

TEST_F(HostListMerge, TwoProgramsSavingInTurnKeepEachOthersChanges)
{
    WriteHostFile("shared\r\nold\r\n");
    HostList first;
    HostList second;
    ASSERT_TRUE(first.Load());
    ASSERT_TRUE(second.Load());
    first.Add(L"one");
    first.Remove(L"old");
    second.Add(L"two");
    second.Add(L"SHARED");

    EXPECT_EQ(first.Save().outcome, SaveOutcome::Saved);
    EXPECT_EQ(ReadHostFile(), "shared\r\none\r\n");
    EXPECT_EQ(second.Save().outcome, SaveOutcome::Saved);
    EXPECT_EQ(ReadHostFile(), "shared\r\none\r\ntwo\r\n");
}

TEST_F(HostListMerge, ForgettingAHostRemovesEverySpellingTheFileHoldsAtTheSave)
{
    WriteHostFile("HV01\r\nother\r\n");
    HostList list;
    ASSERT_TRUE(list.Load());
    // Another program adds its own spelling meanwhile.
    WriteHostFile("HV01\r\nother\r\nhV01\r\nnew\r\n");
    list.Remove(L"hv01");
    EXPECT_EQ(list.Save().outcome, SaveOutcome::Saved);
    EXPECT_EQ(ReadHostFile(), "other\r\nnew\r\n");
}

TEST_F(HostListMerge, AddingAHostTheFileHoldsInAnotherSpellingAddsNoLine)
{
    WriteHostFile("\xC9T\xC9\r\n");
    HostList list;
    list.Add(L"\u00e9t\u00e9");
    list.Add(L"lab");
    EXPECT_EQ(list.Save().outcome, SaveOutcome::Saved);
    EXPECT_EQ(ReadHostFile(), "\xC9T\xC9\r\nlab\r\n");
}

TEST_F(HostListMerge, TheLastChangeToAHostInARunIsTheOneSaved)
{
    WriteHostFile("kept\r\nback\r\n");
    HostList list;
    ASSERT_TRUE(list.Load());
    list.Add(L"passing");
    list.Remove(L"PASSING");
    list.Remove(L"back");
    list.Add(L"BACK");
    EXPECT_EQ(list.Save().outcome, SaveOutcome::Saved);
    EXPECT_EQ(ReadHostFile(), "kept\r\nback\r\n");
}

TEST_F(HostListMerge, AFileThatCannotBeReadIsLeftAsItIsAndTheChangesWaitForTheNextSave)
{
    const std::string old = "old-1\r\nold-2\r\n";
    WriteHostFile(old);
    HostList list;
    {
        // A scanner holds the file open without sharing it, from the start to the close.
        UniqueFile holder(CreateFileW(FilePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holder);
        EXPECT_FALSE(list.Load());
        EXPECT_TRUE(AllNames(list).empty());
        list.Add(L"new-3");
        const SaveResult result = list.Save();
        EXPECT_EQ(result.outcome, SaveOutcome::FileUnreadable);
        EXPECT_EQ(result.error, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    }
    EXPECT_EQ(ReadHostFile(), old);
    EXPECT_EQ(DataFolderEntries(), Names{L"vmhosts.txt"});

    EXPECT_EQ(list.Save().outcome, SaveOutcome::Saved);
    EXPECT_EQ(ReadHostFile(), "old-1\r\nold-2\r\nnew-3\r\n");
}

TEST_F(HostListMerge, AReadOnlyFileIsNeverReplaced)
{
    const std::string old = "kept\r\n";
    WriteHostFile(old);
    ASSERT_TRUE(SetFileAttributesW(FilePath().c_str(), FILE_ATTRIBUTE_READONLY));
    HostList list;
    ASSERT_TRUE(list.Load());
    list.Add(L"new");
    const SaveResult result = list.Save();
    const DWORD attributes = GetFileAttributesW(FilePath().c_str());
    SetFileAttributesW(FilePath().c_str(), FILE_ATTRIBUTE_NORMAL);

    EXPECT_EQ(result.outcome, SaveOutcome::FileReadOnly);
    EXPECT_EQ(ReadHostFile(), old);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(DataFolderEntries(), Names{L"vmhosts.txt"});
}

TEST_F(HostListMerge, ARunThatChangedNothingWritesNothing)
{
    // A UTF-16 file stays as it is, as long as the run neither adds nor forgets a host.
    const std::string utf16("\xFF\xFEh\0v\0" "0\0" "1\0\r\0\n\0", 12);
    WriteHostFile(utf16);
    HostList list;
    ASSERT_TRUE(list.Load());
    list.Add(L"HV01");
    EXPECT_EQ(list.Save().outcome, SaveOutcome::Saved);
    EXPECT_EQ(ReadHostFile(), utf16);
}

TEST_F(HostListMerge, ASavedChangeIsNotAppliedAgainByALaterSave)
{
    HostList list;
    list.Add(L"mine");
    EXPECT_EQ(list.Save().outcome, SaveOutcome::Saved);
    // Another program forgets it afterwards; a later save of this run keeps that.
    WriteHostFile("other\r\n");
    list.Add(L"later");
    EXPECT_EQ(list.Save().outcome, SaveOutcome::Saved);
    EXPECT_EQ(ReadHostFile(), "other\r\nlater\r\n");
}

}
