// A private, emptied-on-exit folder under the Windows temp folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vkexf::test {

class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    std::string Path(const std::string& name) const;
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const;
    std::vector<uint8_t> Read(const std::string& name) const;
    bool Exists(const std::string& name) const;
    // Names of the files in the folder, sorted.
    std::vector<std::string> Files() const;

private:
    std::string path_;
};

} // namespace vkexf::test
