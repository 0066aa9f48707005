// The test that stands between a stored "TempFile" value and DeleteFile: only
// a "~TF" name directly inside the temporary directory may pass, and every
// name the plug-in makes there must.
#include "fuzz/HostValues.h"
#include "spool/SpoolName.h"

#include <cctype>
#include <cstring>
#include <string>

namespace vlexif::fuzz {
namespace {

bool SameLetters(const std::string& a, const std::string& b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace
} // namespace vlexif::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace vlexif;
    using namespace vlexif::fuzz;
    FuzzedDataProvider in(data, size);
    std::string dir = in.ConsumeRandomLengthString(300);
    const std::string path = in.ConsumeRandomLengthString(600);
    dir.resize(std::strlen(dir.c_str()));

    if (IsSpoolPathIn(dir.c_str(), path.c_str())) {
        // What the plug-in sees of the path: up to its first NUL.
        const std::string shown = path.substr(0, path.find('\0'));
        Require(!dir.empty() && dir.back() == '\\' && shown.size() > dir.size() &&
                    SameLetters(shown.substr(0, dir.size()), dir),
                "an accepted path lies in the directory");
        const std::string name = shown.substr(dir.size());
        Require(SameLetters(name.substr(0, 3), "~TF") && name.find_first_of("\\/:") == std::string::npos,
                "an accepted name is a ~TF file directly inside it");
    }

    // What GetTempFileName makes: the directory, "~TF", hex digits, ".tmp".
    if (!dir.empty() && dir.back() == '\\') {
        char made[32];
        std::snprintf(made, sizeof made, "~TF%X.tmp", in.ConsumeIntegral<uint16_t>());
        Require(IsSpoolPathIn(dir.c_str(), (dir + made).c_str()), "the plug-in's own names pass");
    }
    return 0;
}
