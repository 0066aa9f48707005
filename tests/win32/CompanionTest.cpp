// What Wine cannot show of the companions' loading: a module path past
// MAX_PATH, and Vista's loader, which knows no search flags.
#include "win32/Companion.h"
#include "tests/support/SystemCallsOverride.h"
#include "win32/Module.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vlexif {
namespace {

std::wstring modulePath;
std::vector<std::pair<std::wstring, DWORD>> loads;
DWORD loadError = 0;

// As Vista's: a path too long for the buffer is cut, its length the buffer's.
DWORD WINAPI FakeModuleFileName(HMODULE, LPWSTR buffer, DWORD size)
{
    const DWORD length = static_cast<DWORD>(modulePath.size());
    buffer[modulePath.copy(buffer, length < size ? length : size - 1)] = L'\0';
    return length < size ? length : size;
}

HMODULE WINAPI RefuseLoad(LPCWSTR path, HANDLE, DWORD flags)
{
    loads.emplace_back(path, flags);
    SetLastError(loadError);
    return nullptr;
}

class CompanionTest : public testing::Test {
protected:
    CompanionTest()
    {
        loads.clear();
        Os().getModuleFileNameW = FakeModuleFileName;
        Os().loadLibraryExW = RefuseLoad;
    }

    test::SystemCallsOverride calls;
};

TEST_F(CompanionTest, AFolderPastMaxPathIsKeptWholeAndABareNameNeverLoaded)
{
    const std::wstring folder = L"C:\\Users\\Дмитрий\\" + std::wstring(20000, L'한') + L"\\";
    modulePath = folder + L"VLEXIF.dll";
    const CompanionPath path(nullptr, L"Vlexifres.dll");
    ASSERT_NE(path.Get(), nullptr);
    EXPECT_EQ(path.Get(), folder + L"Vlexifres.dll");
    // A module path without a folder, or longer than any Windows path.
    for (const std::wstring& bad : {std::wstring(L"VLEXIF.dll"), L"C:\\" + std::wstring(40000, L'a')}) {
        modulePath = bad;
        EXPECT_EQ(LoadCompanion(nullptr, L"VkExf.dll"), nullptr);
    }
    EXPECT_TRUE(loads.empty());
}

TEST_F(CompanionTest, VistasLoaderGetsTheAlteredSearchOrderForTheSamePath)
{
    modulePath = L"C:\\Плагины\\VLEXIF.dll";
    const DWORD searched = LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32;
    loadError = ERROR_INVALID_PARAMETER;
    EXPECT_EQ(LoadCompanion(nullptr, L"Vlexifres.dll", ResourceLibraryLoad), nullptr);
    const decltype(loads) expected = {
        {L"C:\\Плагины\\Vlexifres.dll", ResourceLibraryLoad | searched},
        {L"C:\\Плагины\\Vlexifres.dll", ResourceLibraryLoad | LOAD_WITH_ALTERED_SEARCH_PATH}};
    EXPECT_EQ(loads, expected);
    // A file that is not there is not looked for anywhere else.
    loads.clear();
    loadError = ERROR_MOD_NOT_FOUND;
    EXPECT_EQ(LoadCompanion(nullptr, L"VkExf.dll"), nullptr);
    EXPECT_EQ(loads, decltype(loads)({{L"C:\\Плагины\\VkExf.dll", searched}}));
}

} // namespace
} // namespace vlexif
