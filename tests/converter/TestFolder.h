// A private folder under the Windows temp folder for one test, emptied and
// removed after it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vkexf::test {

class TestFolder {
public:
    explicit TestFolder(const char* prefix);
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::string& Path() const { return folder; }
    std::string Path(const std::string& name) const { return folder + "\\" + name; }
    // Writes the file and returns its path.
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const;
    std::vector<uint8_t> Read(const std::string& name) const;
    // The names of the files in it, sorted.
    std::vector<std::string> Files() const;

private:
    std::string folder;
};

} // namespace vkexf::test
