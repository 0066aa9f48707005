#include "host/checks/PathRules.h"

#include <gtest/gtest.h>

#include <vector>

namespace vlscan {
namespace {

// `count` times the Cyrillic letter zhe, two bytes of UTF-8, one of UTF-16.
std::string Zhe(size_t count)
{
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        text += "\xD0\xB6";
    }
    return text;
}

TEST(PathRules, NamesWindowsWouldChangeOrRefuseAreNamedWithTheRule)
{
    struct Case {
        std::string path;
        const char* inReason;
    } const cases[] = {
        {"D:\\scans\\bad?.jpg", "holds '?'"},
        {"a<b.jpg", "holds '<'"},
        {"x|y.jpg", "holds '|'"},
        {"say\"no\".jpg", "holds '\"'"},
        {"C:\\dir\\page.jpg:stream", "holds ':'"},
        {"C:\\bad*dir\\page.jpg", "holds '*'"},
        {"tab\there.jpg", "control character"},
        {"NUL", "NUL is the name of a device"},
        {"C:\\out\\con", "CON is the name of a device"},
        {"COM1.jpg", "COM1 is the name of a device"},
        {"lpt9.tar.gz", "LPT9 is the name of a device"},
        {"AUX .jpg", "AUX is the name of a device"},
        {"com\xC2\xB9.jpg", "COM\xC2\xB9 is the name of a device"},
        {"C:\\nul\\page.jpg", "NUL is the name of a device"},
        {"page.jpg.", "ends in a dot or a space"},
        {"C:\\scans\\page.jpg ", "ends in a dot or a space"},
        {"\\\\.\\COM1", "names a device"},
        {"C:\\" + std::string(256, 'n'), "has 256 characters; Windows allows at most 255"},
        // Counted in characters, not in bytes.
        {Zhe(256), "has 256 characters"},
    };
    for (const Case& c : cases) {
        const std::string reason = PathRuleBreach(c.path);
        EXPECT_NE(reason.find(c.inReason), std::string::npos) << c.path << ": " << reason;
    }
}

TEST(PathRules, OrdinaryPathsPass)
{
    for (const std::string& path : std::vector<std::string>{
             "page.jpg", "C:\\scans\\page.jpg", "D:/scans/page 1.jpg", "..\\out\\.\\page.jpg",
             "\\\\server\\share\\p.jpg", "\\\\?\\C:\\scans\\page.jpg", "console.jpg", "COM10.jpg", "LPT.jpg",
             "nul-page.jpg", "C:\\dir.\\page.jpg", std::string(255, 'n'), Zhe(255), "C:\\scans\\"}) {
        EXPECT_EQ(PathRuleBreach(path), "") << path;
    }
}

} // namespace
} // namespace vlscan
