// The first pass's Windows side: its read failures, and the thumbnail's
// JPEG fitting into the room the Exif segment leaves.
#include "converter/BmpHeader.h"
#include "converter/LastFailure.h"
#include "converter/SpoolSurvey.h"
#include "converter/ThumbnailJpeg.h"
#include "converter/tests/TestBmp.h"

#include <windows.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vkexf {
namespace {

std::string LastFailure()
{
    char text[512];
    CopyLastFailure(text, sizeof text);
    return text;
}

TEST(SpoolSurvey, ReadFailuresAreReportedAndLeaveNoResult)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string path = std::string(temp) + "survey-" + std::to_string(GetCurrentProcessId()) + ".bmp";
    const auto bmp = test::MakeBmp({false, 40, 30});
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bmp.data()), bmp.size());
    BmpLayout layout;
    ASSERT_EQ(ParseBmpHeader(bmp.data(), kBmpHeaderBytes, bmp.size(), layout), BmpError::None);

    SpoolSurvey survey;
    ASSERT_EQ(survey.Run(path.c_str(), layout), StatusOk);
    EXPECT_TRUE(survey.grey());
    EXPECT_EQ(survey.thumbnailSize().width, 40u);

    // The file is shorter than its rows by the time they are read.
    layout.height += 1;
    EXPECT_EQ(survey.Run(path.c_str(), layout), StatusReadFailed);
    EXPECT_EQ(LastFailure(), "cannot read the spool file " + path + ": the file became shorter while it was read");
    EXPECT_FALSE(survey.grey());
    EXPECT_EQ(survey.thumbnailSize().width, 0u);

    DeleteFileA(path.c_str());
    EXPECT_EQ(survey.Run(path.c_str(), layout), StatusReadFailed);
    EXPECT_EQ(LastFailure().rfind("cannot read the spool file " + path + ": ", 0), 0u) << LastFailure();
}

// Noise is the worst a thumbnail can be: it must drop in quality until it
// fits, and give up without failing when nothing fits.
TEST(ThumbnailJpeg, LowersTheQualityUntilItFits)
{
    std::mt19937 random(3);
    std::vector<uint8_t> noise(160 * 120 * 3);
    for (auto& byte : noise)
        byte = static_cast<uint8_t>(random());
    const ThumbnailPixels pixels{noise.data(), 160, 120, false};
    std::vector<uint8_t> out(65536);
    size_t best = 0, squeezed = 0, none = 1;
    ASSERT_EQ(EncodeThumbnail(pixels, 100, out.data(), out.size(), best), StatusOk);
    ASSERT_EQ(EncodeThumbnail(pixels, 100, out.data(), best - 1, squeezed), StatusOk);
    EXPECT_GT(squeezed, 0u);
    EXPECT_LT(squeezed, best);
    EXPECT_EQ(out[0], 0xFF);
    EXPECT_EQ(out[1], 0xD8);
    EXPECT_EQ(out[squeezed - 1], 0xD9) << "a whole JPEG";
    EXPECT_EQ(EncodeThumbnail(pixels, 100, out.data(), 200, none), StatusOk);
    EXPECT_EQ(none, 0u);
}

} // namespace
} // namespace vkexf
