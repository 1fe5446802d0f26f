#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "tests/hosts/HostListFixture.h"

namespace {

using Names = std::vector<std::wstring>;

bool IsCleanName(const std::wstring& name)
{
    std::wstring copy = name;
    return !name.empty() && HostList::Sanitize(copy) && copy == name;
}

double Seconds(LARGE_INTEGER start, LARGE_INTEGER end)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

TEST_F(HostListTest, BinaryFileLoadsOnlyCleanNamesAndSavesThemBack)
{
    std::mt19937 random(20240611);
    std::string content(256 * 1024, '\0');
    std::generate(content.begin(), content.end(), [&random] { return static_cast<char>(random()); });
    WriteHostFile(content);

    HostList list;
    ASSERT_TRUE(list.Load());
    const Names names = AllNames(list);
    ASSERT_FALSE(names.empty());
    EXPECT_TRUE(std::all_of(names.begin(), names.end(), IsCleanName));

    list.Add(L"written");
    EXPECT_EQ(list.Save().outcome, SaveOutcome::Saved);
    HostList reread;
    ASSERT_TRUE(reread.Load());
    Names expected = names;
    expected.push_back(L"written");
    EXPECT_EQ(AllNames(reread), expected);
}

TEST_F(HostListTest, NulBytesAreRemovedNotTakenAsTheEndOfTheLine)
{
    WriteHostFile(std::string("hv\0" "01\r\n\0\0\0\r\nlab\0", 16));
    HostList list;
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(AllNames(list), (Names{L"hv01", L"lab"}));
}

TEST_F(HostListTest, LineOfMegabytesIsOneName)
{
    const std::string longName(8 * 1024 * 1024, 'h');
    WriteHostFile("first\r\n" + longName + "\r\nlast\r\n");

    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    HostList list;
    ASSERT_TRUE(list.Load());
    QueryPerformanceCounter(&end);
    std::printf("[ measure  ] load of an 8 MiB line: %.3f s\n", Seconds(start, end));

    const Names names = AllNames(list);
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(names[1].size(), longName.size());
    list.Add(L"added");
    EXPECT_EQ(list.Save().outcome, SaveOutcome::Saved);
    EXPECT_EQ(ReadHostFile(), "first\r\n" + longName + "\r\nlast\r\nadded\r\n");
}

TEST_F(HostListTest, HundredThousandLinesLoadInOrderWithDuplicatesRefused)
{
    std::string content;
    Names expected;
    for (int index = 0; index < 100000; ++index) {
        const std::string name = "hv" + std::to_string(index);
        content += name + "\r\n";
        expected.emplace_back(name.begin(), name.end());
        if (index % 10 == 0)
            content += "hv0\r\n";
    }
    WriteHostFile(content);

    LARGE_INTEGER start, loaded, saved;
    QueryPerformanceCounter(&start);
    HostList list;
    ASSERT_TRUE(list.Load());
    list.Add(L"added");
    QueryPerformanceCounter(&loaded);
    EXPECT_EQ(list.Save().outcome, SaveOutcome::Saved);
    QueryPerformanceCounter(&saved);
    std::printf("[ measure  ] 110,000 lines: load %.3f s, save %.3f s\n", Seconds(start, loaded),
                Seconds(loaded, saved));

    expected.push_back(L"added");
    EXPECT_EQ(AllNames(list), expected);
}

}
