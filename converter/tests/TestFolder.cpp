#include "converter/tests/TestFolder.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace vkexf::test {

TestFolder::TestFolder()
{
    static unsigned serial = 0;
    char temp[MAX_PATH];
    if (!GetTempPathA(sizeof temp, temp))
        throw std::runtime_error("no temp folder");
    path_ = std::string(temp) + "vkexf-test-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++serial);
    if (!CreateDirectoryA(path_.c_str(), nullptr))
        throw std::runtime_error("cannot create " + path_);
}

TestFolder::~TestFolder()
{
    for (const auto& name : Files())
        DeleteFileA(Path(name).c_str());
    RemoveDirectoryA(path_.c_str());
}

std::string TestFolder::Path(const std::string& name) const { return path_ + "\\" + name; }

std::string TestFolder::Write(const std::string& name, const std::vector<uint8_t>& bytes) const
{
    const std::string path = Path(name);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
    return path;
}

std::vector<uint8_t> TestFolder::Read(const std::string& name) const
{
    std::ifstream in(Path(name), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

bool TestFolder::Exists(const std::string& name) const
{
    return GetFileAttributesA(Path(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> TestFolder::Files() const
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(Path("*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.emplace_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace vkexf::test
