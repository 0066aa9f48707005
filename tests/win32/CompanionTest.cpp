// The shipped files find each other by the wide path of the module that
// looks, at any length, and load each other by that full path alone.
#include "win32/Companion.h"
#include "tests/spool/SystemCallsOverride.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vlexif {
namespace {

std::wstring modulePath;
struct LoadCall {
    std::wstring path;
    DWORD flags;
};
std::vector<LoadCall> loads;
DWORD loadError = 0;

// As Vista's: a path too long for the buffer is cut, its length the buffer's.
DWORD WINAPI FakeModuleFileName(HMODULE, LPWSTR buffer, DWORD size)
{
    const DWORD length = static_cast<DWORD>(modulePath.size());
    const DWORD copied = length < size ? length : size - 1;
    modulePath.copy(buffer, copied);
    buffer[copied] = L'\0';
    return length < size ? length : size;
}

// Refuses every load with `loadError`, as a loader without the search flags
// refuses them, or one that finds no file.
HMODULE WINAPI RecordLoad(LPCWSTR path, HANDLE, DWORD flags)
{
    loads.push_back({path, flags});
    SetLastError(loadError);
    return nullptr;
}

class CompanionTest : public testing::Test {
protected:
    CompanionTest()
    {
        loads.clear();
        Os().getModuleFileNameW = FakeModuleFileName;
        Os().loadLibraryExW = RecordLoad;
    }

    test::SystemCallsOverride calls;
};

TEST_F(CompanionTest, AFolderLongerThanMaxPathIsKeptWhole)
{
    // Folders of several hundred characters, under a name no ANSI code page holds.
    for (const size_t length : {size_t{250}, size_t{700}, size_t{20000}}) {
        const std::wstring folder = L"\\\\?\\C:\\Users\\Дмитрий\\" + std::wstring(length, L'한') + L"\\";
        modulePath = folder + L"VLEXIF.dll";
        const CompanionPath path(nullptr, L"Vlexifres.dll");
        ASSERT_NE(path.Get(), nullptr) << length;
        EXPECT_EQ(path.Get(), folder + L"Vlexifres.dll") << length;
    }
}

TEST_F(CompanionTest, NeverABareName)
{
    // A module path without a folder, or one longer than any Windows path,
    // names nothing to load.
    for (const std::wstring& bad : {std::wstring(L"VLEXIF.dll"), L"C:\\" + std::wstring(40000, L'a')}) {
        modulePath = bad;
        EXPECT_EQ(CompanionPath(nullptr, L"VkExf.dll").Get(), nullptr);
        EXPECT_EQ(LoadCompanion(nullptr, L"VkExf.dll"), nullptr);
    }
    EXPECT_TRUE(loads.empty());
}

TEST_F(CompanionTest, VistasLoaderGetsTheAlteredSearchOrderForTheSamePath)
{
    modulePath = L"C:\\Плагины\\VLEXIF.dll";
    const DWORD data = LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE;
    const DWORD searched = LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32;
    loadError = ERROR_INVALID_PARAMETER; // what a loader without the search flags answers
    EXPECT_EQ(LoadCompanion(nullptr, L"Vlexifres.dll", data), nullptr);
    ASSERT_EQ(loads.size(), 2u);
    EXPECT_EQ(loads[0].path, L"C:\\Плагины\\Vlexifres.dll");
    EXPECT_EQ(loads[0].flags, data | searched);
    EXPECT_EQ(loads[1].path, loads[0].path);
    EXPECT_EQ(loads[1].flags, data | LOAD_WITH_ALTERED_SEARCH_PATH);

    // A file that is not there is not looked for anywhere else.
    loads.clear();
    loadError = ERROR_MOD_NOT_FOUND;
    EXPECT_EQ(LoadCompanion(nullptr, L"VkExf.dll"), nullptr);
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_EQ(loads[0].flags, searched);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

} // namespace
} // namespace vlexif
