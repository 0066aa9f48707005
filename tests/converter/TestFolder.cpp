#include "tests/converter/TestFolder.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace vkexf::test {

TestFolder::TestFolder(const char* prefix)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    folder = std::string(temp) + prefix + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
}

TestFolder::~TestFolder()
{
    for (const auto& name : Files()) {
        DeleteFileA(Path(name).c_str());
    }
    RemoveDirectoryA(folder.c_str());
}

std::string TestFolder::Write(const std::string& name, const std::vector<uint8_t>& bytes) const
{
    std::ofstream(Path(name), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return Path(name);
}

std::vector<uint8_t> TestFolder::Read(const std::string& name) const
{
    std::ifstream in(Path(name), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> TestFolder::Files() const
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(Path("*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            names.emplace_back(found.cFileName);
        }
    }
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace vkexf::test
