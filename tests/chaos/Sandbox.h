// The chaos host's surroundings: a private folder holding the temporary
// directory the plug-in is pointed at, canary files beside it and elsewhere,
// and an empty working directory; the checks that nothing outside the
// temporary directory changed and that the registry key holds only the
// plug-in's own value names; and probes of the process's handles and heap.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vlexif::chaos {

class Sandbox {
public:
    Sandbox();
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    const std::string& TempDir() const { return temp; }
    // Paths a forged "TempFile" may name: canaries outside the temporary
    // directory, a non-spool file inside it, and malformed names.
    const std::vector<std::string>& Decoys() const { return decoys; }

    // Spool-named files ("~TF*") now in the temporary directory.
    std::vector<std::string> SpoolFiles() const;
    void RemoveSpoolFiles() const;
    // Problems with everything outside the temporary directory, and with
    // files in it that are neither spool files nor the plug-in's to touch.
    void CheckSurroundings(std::vector<std::string>& problems) const;

private:
    struct Canary {
        std::string path;
        std::string content;
    };
    void PlantCanary(const std::string& path);

    std::string base;
    std::string temp;
    std::string oldTmp;
    std::string oldTemp;
    std::string oldDirectory;
    std::vector<Canary> canaries;
    std::vector<std::string> decoys;
};

// Value names under the job's key other than the plug-in's own.
void CheckValueNames(const std::string& exifKeyPath, std::vector<std::string>& problems);

} // namespace vlexif::chaos
