#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "base/Unique.h"
#include "tests/hosts/HostListFixture.h"

namespace {

using Names = std::vector<std::wstring>;

TEST_F(HostListTest, LoadCleansSkipsEmptyLinesAndKeepsTheFirstSpellingOfEachHost)
{
    WriteHostFile("host-a\r\n\r\nHOST-A\r\nhost-a\r\n hv\t01\r\nS\xc9RVEUR\r\ns\xe9rveur\r\n");
    HostList list;
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(AllNames(list), (Names{L"host-a", L"hv01", L"S\u00c9RVEUR"}));
}

TEST_F(HostListTest, EveryLineEndAndByteOrderMarkReadsTheSameNames)
{
    const std::string files[] = {
        "alpha\nbeta|x\ngamma\n",
        "alpha\r\nbeta|x\r\ngamma\r\n",
        "alpha\r\r\nbeta|x\r\r\ngamma\r\r\n",
        "alpha\nbeta|x\r\ngamma",
        "alpha\r\nbeta|x\r\r\n!#$%&\r\ngamma\r",
        "alpha\rbeta|x\rgamma\r",
        "\xEF\xBB\xBF" "alpha\r\nbeta|x\r\ngamma\r\n",
        std::string("\xFF\xFE" "a\0l\0p\0h\0a\0\r\0\n\0b\0e\0t\0a\0|\0x\0\r\0\n\0g\0a\0m\0m\0a\0", 42),
        std::string("\xFE\xFF\0a\0l\0p\0h\0a\0\r\0b\0e\0t\0a\0|\0x\0\r\0g\0a\0m\0m\0a", 38),
    };
    for (const std::string& content : files) {
        WriteHostFile(content);
        HostList list;
        ASSERT_TRUE(list.Load()) << content;
        EXPECT_EQ(AllNames(list), (Names{L"alpha", L"beta|x", L"gamma"})) << content;
    }
}

TEST_F(HostListTest, AUtf16FileIsSavedBackInTheEightBitFormat)
{
    // As Windows PowerShell 5 writes it with ">": a mark, UTF-16LE, CR LF.
    WriteHostFile(std::string("\xFF\xFEh\0v\0" "0\0" "1\0\r\0\n\0s\0\xe9\0r\0v\0\r\0\n\0", 26));
    HostList list;
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(AllNames(list), (Names{L"hv01", L"s\u00e9rv"}));
    list.Add(L"hv02");
    EXPECT_EQ(list.Save().outcome, SaveOutcome::Saved);
    EXPECT_EQ(ReadHostFile(), "hv01\r\ns\xe9rv\r\nhv02\r\n");
}

TEST_F(HostListTest, SaveWritesEachNameWithCrLfAndReadsBackTheSameList)
{
    HostList list;
    for (const wchar_t* name : {L"hv01", L"HV01", L"lab.example|x", L"s\u00e9rveur_\u00df", L"z-9"})
        list.Add(name);
    EXPECT_EQ(list.Save().outcome, SaveOutcome::Saved);
    EXPECT_EQ(ReadHostFile(), "hv01\r\nlab.example|x\r\ns\xe9rveur_\xdf\r\nz-9\r\n");

    HostList reread;
    ASSERT_TRUE(reread.Load());
    EXPECT_EQ(AllNames(reread), AllNames(list));
    EXPECT_EQ(DataFolderEntries(), Names{L"vmhosts.txt"});
}

TEST_F(HostListTest, EveryByteValueLoadsAsItsLatin1CharacterAndSavesBackUnchanged)
{
    // One line per byte value but the line ends; the hosts that survive cleaning, each in the
    // spelling met first, are written back as the same bytes.
    std::string content;
    for (int byte = 0; byte <= 0xFF; ++byte) {
        if (byte == '\n' || byte == '\r')
            continue;
        content += static_cast<char>(byte);
        content += '\n';
    }
    WriteHostFile(content);
    HostList list;
    ASSERT_TRUE(list.Load());
    list.Add(L"end");
    EXPECT_EQ(list.Save().outcome, SaveOutcome::Saved);

    // Hyphen, full stop, the digits, the capitals, underscore, the bar; then the ordinal
    // indicators and the micro sign; the capitals from U+00C0 but the multiplication sign;
    // sharp s; y with diaeresis, whose capital lies beyond Latin-1. The small letters a to z
    // and U+00E0 to U+00FE are the same hosts as their capitals, met earlier.
    std::string expected;
    for (const char byte : std::string("-.0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ_|\xaa\xb5\xba"))
        expected += std::string(1, byte) + "\r\n";
    for (int byte = 0xC0; byte <= 0xDF; ++byte) {
        if (byte != 0xD7)
            expected += std::string(1, static_cast<char>(byte)) + "\r\n";
    }
    expected += "\xff\r\nend\r\n";
    EXPECT_EQ(ReadHostFile(), expected);
}

TEST_F(HostListTest, NameAboveLatin1IsLeftOutOfTheFileAndTheOthersAreWritten)
{
    HostList list;
    list.Add(L"alpha");
    list.Add(L"\u0416uk01");
    list.Add(L"beta");
    EXPECT_EQ(list.Save().outcome, SaveOutcome::Saved);
    EXPECT_EQ(ReadHostFile(), "alpha\r\nbeta\r\n");
    // The run keeps the name; only the file cannot hold it.
    EXPECT_EQ(AllNames(list), (Names{L"alpha", L"\u0416uk01", L"beta"}));
}

TEST_F(HostListTest, AddRefusesEverySpellingOfAListedHostAndCleansFirst)
{
    HostList list;
    list.Add(L"hv01");
    list.Add(L"HV01");
    list.Add(L"hv01");
    list.Add(L" hV 01 ");
    list.Add(L"\u00e9t\u00e9");
    list.Add(L"\u00c9T\u00c9");
    list.Add(L"");
    list.Add(L"!!");
    EXPECT_EQ(AllNames(list), (Names{L"hv01", L"\u00e9t\u00e9", L""}));
}

TEST_F(HostListTest, RemoveForgetsTheHostInEveryLetterCase)
{
    HostList list;
    for (const wchar_t* name : {L"a", L"HV01", L"b", L"c"})
        list.Add(name);
    list.Remove(L"hv01 ");
    list.Remove(L"missing");
    EXPECT_EQ(AllNames(list), (Names{L"a", L"b", L"c"}));
    list.Add(L"Hv01");
    EXPECT_EQ(AllNames(list), (Names{L"a", L"b", L"c", L"Hv01"}));
}

TEST_F(HostListTest, NextWalksTheListOnceAndStartsOverAfterTheLast)
{
    HostList list;
    std::wstring_view name;
    bool more = true;
    EXPECT_FALSE(list.Next(name, more));
    EXPECT_FALSE(more);

    list.Add(L"a");
    list.Add(L"b");
    ASSERT_TRUE(list.Next(name, more));
    EXPECT_EQ(name, L"a");
    EXPECT_TRUE(more);
    ASSERT_TRUE(list.Next(name, more));
    EXPECT_EQ(name, L"b");
    EXPECT_FALSE(more);
    ASSERT_TRUE(list.Next(name, more));
    EXPECT_EQ(name, L"a");

    // A cursor left past the end by a removal starts over.
    list.Remove(L"b");
    EXPECT_FALSE(list.Next(name, more));
    EXPECT_FALSE(more);
    ASSERT_TRUE(list.Next(name, more));
    EXPECT_EQ(name, L"a");
}

TEST_F(HostListTest, RemovingEveryHostLeavesAnEmptyFile)
{
    WriteHostFile("a\r\nb\r\n");
    HostList list;
    ASSERT_TRUE(list.Load());
    list.Remove(L"a");
    list.Remove(L"B");
    EXPECT_EQ(list.Save().outcome, SaveOutcome::Saved);
    EXPECT_TRUE(std::filesystem::exists(FilePath()));
    EXPECT_EQ(ReadHostFile(), "");
}

TEST_F(HostListTest, FirstLoadCreatesTheMissingFolderWithItsParent)
{
    ASSERT_FALSE(std::filesystem::exists(AppData() + L"\\Orlund"));
    HostList list;
    EXPECT_FALSE(list.Load());
    EXPECT_TRUE(std::filesystem::is_directory(DataFolder()));
    list.Add(L"hv01");
    EXPECT_EQ(list.Save().outcome, SaveOutcome::Saved);
    EXPECT_EQ(ReadHostFile(), "hv01\r\n");
}

TEST_F(HostListTest, FailedFolderLookupIsRetriedAndAFoundFolderIsKept)
{
    folderResult = E_FAIL;
    HostList list;
    list.Add(L"hv01");
    EXPECT_FALSE(list.Load());
    EXPECT_EQ(list.Save().outcome, SaveOutcome::FolderUnavailable);
    EXPECT_EQ(folderCalls, 2);
    EXPECT_FALSE(std::filesystem::exists(AppData() + L"\\Orlund"));

    // S_FALSE: the lookup "succeeds" for a folder that does not exist.
    folderResult = S_FALSE;
    EXPECT_FALSE(list.PrepareFolder());

    folderResult = S_OK;
    EXPECT_TRUE(list.PrepareFolder());
    folderAnswer = AppData() + L"\\Elsewhere";
    EXPECT_EQ(list.Save().outcome, SaveOutcome::Saved);
    EXPECT_EQ(folderCalls, 4);
    EXPECT_EQ(ReadHostFile(), "hv01\r\n");
}

TEST_F(HostListTest, FolderThatCannotBeCreatedMeansNoLoadAndNoSave)
{
    // A file where the "Orlund" folder should be.
    WriteBytes(AppData() + L"\\Orlund", "not a folder");
    HostList list;
    list.Add(L"hv01");
    EXPECT_FALSE(list.Load());
    EXPECT_EQ(list.Save().outcome, SaveOutcome::FolderUnavailable);
    EXPECT_EQ(ReadBytes(AppData() + L"\\Orlund"), "not a folder");
    EXPECT_EQ(AllNames(list), Names{L"hv01"});
}

TEST_F(HostListTest, MissingFileLoadsNothingAndSaveCreatesIt)
{
    std::filesystem::create_directories(DataFolder());
    HostList list;
    EXPECT_FALSE(list.Load());
    list.Add(L"hv01");
    EXPECT_EQ(list.Save().outcome, SaveOutcome::Saved);
    EXPECT_EQ(ReadHostFile(), "hv01\r\n");
}

TEST_F(HostListTest, FailedSaveKeepsTheOldFileWholeAndLeavesNoTemporaryFile)
{
    const std::string old = "old-1\r\nold-2\r\n";
    WriteHostFile(old);
    HostList list;
    ASSERT_TRUE(list.Load());
    list.Add(L"new-3");
    {
        // Another program holds the file open without allowing it to be replaced.
        UniqueFile holder(CreateFileW(FilePath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holder);
        EXPECT_EQ(list.Save().outcome, SaveOutcome::WriteFailed);
    }
    EXPECT_EQ(ReadHostFile(), old);
    EXPECT_EQ(DataFolderEntries(), Names{L"vmhosts.txt"});

    // Once the file is free, the same changes are saved.
    EXPECT_EQ(list.Save().outcome, SaveOutcome::Saved);
    EXPECT_EQ(ReadHostFile(), "old-1\r\nold-2\r\nnew-3\r\n");
}

TEST_F(HostListTest, SaveOverAFolderOfTheFilesNameFailsAndLeavesIt)
{
    std::filesystem::create_directories(FilePath());
    WriteBytes(FilePath() + L"\\inside", "kept");
    HostList list;
    list.Add(L"hv01");
    EXPECT_EQ(list.Save().outcome, SaveOutcome::FileUnreadable);
    EXPECT_EQ(ReadBytes(FilePath() + L"\\inside"), "kept");
    EXPECT_EQ(DataFolderEntries(), Names{L"vmhosts.txt"});
}

}
