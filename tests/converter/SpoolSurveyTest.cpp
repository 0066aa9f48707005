// The first pass's Windows side: a page shared among workers comes out as
// one worker's, a colour pixel in any band makes it colour, a read that
// fails leaves no result; and the thumbnail's JPEG fitting into the room
// the Exif segment leaves.
#include "converter/survey/SpoolSurvey.h"
#include "converter/base/LastFailure.h"
#include "converter/files/BmpRowReader.h"
#include "converter/jpeg/ThumbnailJpeg.h"
#include "tests/converter/TestBmp.h"
#include "win32/UniqueHandle.h"

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

std::string WriteSpool(const std::vector<uint8_t>& bmp)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string path = std::string(temp) + "survey-" + std::to_string(GetCurrentProcessId()) + ".bmp";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bmp.data()), bmp.size());
    return path;
}

// Reads of three rows share even this small page among every usable
// processor, each band in several reads. The page fits its thumbnail, so
// the thumbnail is the page itself, top row first.
TEST(SpoolSurvey, WorkersShareThePageAndAFailureLeavesNoResult)
{
    constexpr uint32_t Width = 40, Height = 30;
    const auto grey = [](uint32_t x, uint32_t y) {
        const auto level = static_cast<uint8_t>(x * 5 + y * 3);
        return test::Rgb{level, level, level};
    };
    const size_t threeRows = 3 * ((Width * 3 + 3) / 4 * 4);
    for (const bool topDown : {false, true}) {
        SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
        const std::string path = WriteSpool(test::MakeBmp({false, Width, Height, topDown}, grey));
        vlexif::HeldFileWaits waits;
        BmpRowReader reader;
        ASSERT_EQ(reader.Open(path.c_str(), waits), StatusOk);
        SpoolSurvey shared(SystemCalls(), threeRows);
        ASSERT_EQ(shared.Run(reader), StatusOk);
        EXPECT_TRUE(shared.Grey());
        ASSERT_EQ(shared.ThumbnailDimensions().width, Width);
        ASSERT_EQ(shared.ThumbnailDimensions().height, Height);
        std::vector<uint8_t> page;
        for (uint32_t y = 0; y < Height; ++y) {
            for (uint32_t x = 0; x < Width; ++x) {
                page.insert(page.end(), 3, grey(x, y).r);
            }
        }
        EXPECT_EQ(std::vector<uint8_t>(shared.Thumbnail(), shared.Thumbnail() + page.size()), page);

        // The file is shorter than its rows by the time they are read.
        {
            vlexif::UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(file.Valid());
            ASSERT_NE(SetFilePointer(file.Get(), -1, nullptr, FILE_END), INVALID_SET_FILE_POINTER);
            ASSERT_TRUE(SetEndOfFile(file.Get()));
        }
        EXPECT_EQ(shared.Run(reader), StatusReadFailed);
        EXPECT_EQ(LastFailure(), "cannot read the spool file " + path + ": the file became shorter while it was read");
        EXPECT_FALSE(shared.Grey());
        EXPECT_EQ(shared.ThumbnailDimensions().width, 0u);
        reader = BmpRowReader(); // closes the file, so that it can go
        DeleteFileA(path.c_str());
    }

    // One pixel off grey in any band, at either end of one or inside it.
    for (const uint32_t row : {0u, 1u, Height / 2 - 1, Height / 2, Height - 2, Height - 1}) {
        const std::string path = WriteSpool(test::MakeBmp({false, Width, Height}, [&](uint32_t x, uint32_t y) {
            test::Rgb pixel = grey(x, y);
            pixel.b ^= x == Width - 1 && y == row;
            return pixel;
        }));
        vlexif::HeldFileWaits waits;
        BmpRowReader reader;
        ASSERT_EQ(reader.Open(path.c_str(), waits), StatusOk);
        SpoolSurvey shared(SystemCalls(), threeRows);
        ASSERT_EQ(shared.Run(reader), StatusOk);
        EXPECT_FALSE(shared.Grey()) << "row " << row;
        reader = BmpRowReader(); // closes the file, so that it can go
        DeleteFileA(path.c_str());
    }
}

// Noise is the worst a thumbnail can be: it must drop in quality until it
// fits, and give up without failing when nothing fits.
TEST(ThumbnailJpeg, LowersTheQualityUntilItFits)
{
    std::mt19937 random(3);
    std::vector<uint8_t> noise(160 * 120 * 3);
    for (auto& byte : noise) {
        byte = static_cast<uint8_t>(random());
    }
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
