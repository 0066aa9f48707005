#include "host/ImageLoader.h"

#include "host/PnmFile.h"

#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace vlscan {
namespace {

class ImageLoader : public ::testing::Test {
protected:
    std::string PathOf(const char* name)
    {
        const std::string path = ::testing::TempDir() + "vlscan-loader-" + std::to_string(getpid()) + "-" + name;
        paths.push_back(path);
        return path;
    }
    void TearDown() override
    {
        for (const std::string& path : paths) {
            std::remove(path.c_str());
        }
    }

    // 4×2 RGB with distinct values in every sample.
    const std::vector<uint8_t> rgb{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120,
                                   130, 140, 150, 160, 170, 180, 190, 200, 210, 220, 230, 240};

private:
    std::vector<std::string> paths;
};

TEST_F(ImageLoader, LosslessFilesReadBackExactly)
{
    const std::string png = PathOf("a.png");
    const std::string bmp = PathOf("a.bmp");
    const std::string ppm = PathOf("a.ppm");
    ASSERT_TRUE(stbi_write_png(png.c_str(), 4, 2, 3, rgb.data(), 12));
    ASSERT_TRUE(stbi_write_bmp(bmp.c_str(), 4, 2, 3, rgb.data()));
    ASSERT_TRUE(WritePnm(ppm, 4, 2, 3, rgb));
    for (const std::string& path : {png, bmp, ppm}) {
        const SourceImage image = LoadSourceImage(path);
        EXPECT_EQ(image.Width(), 4u) << path;
        EXPECT_EQ(image.Height(), 2u);
        EXPECT_FALSE(image.IsGrey());
        for (size_t i = 0; i < 8; ++i) {
            for (uint32_t c = 0; c < 3; ++c) {
                EXPECT_EQ(image.Sample8(i, c), rgb[3 * i + c]) << path << " pixel " << i;
            }
        }
    }
}

TEST_F(ImageLoader, GreyStaysGreyAndAlphaIsDropped)
{
    const std::string grey = PathOf("g.png");
    const std::vector<uint8_t> greyAlpha{10, 255, 200, 0};
    ASSERT_TRUE(stbi_write_png(grey.c_str(), 2, 1, 2, greyAlpha.data(), 4));
    const SourceImage image = LoadSourceImage(grey);
    EXPECT_TRUE(image.IsGrey());
    EXPECT_EQ(image.Sample8(1, 0), 200);
    EXPECT_EQ(image.Sample8(1, 2), 200);

    const std::string rgba = PathOf("c.png");
    const std::vector<uint8_t> colourAlpha{1, 2, 3, 0, 4, 5, 6, 128};
    ASSERT_TRUE(stbi_write_png(rgba.c_str(), 2, 1, 4, colourAlpha.data(), 8));
    const SourceImage colour = LoadSourceImage(rgba);
    EXPECT_FALSE(colour.IsGrey());
    EXPECT_EQ(colour.Sample8(1, 0), 4);
    EXPECT_EQ(colour.Sample8(1, 2), 6);
}

TEST_F(ImageLoader, SixteenBitFilesKeepTheirLowBytes)
{
    const std::string path = PathOf("w.ppm");
    ASSERT_TRUE(WritePnm16(path, 1, 1, 3, {0x1234, 0xFFFF, 0x0001}));
    const SourceImage image = LoadSourceImage(path);
    EXPECT_EQ(image.Sample16(0, 0), 0x1234);
    EXPECT_EQ(image.Sample16(0, 1), 0xFFFF);
    EXPECT_EQ(image.Sample16(0, 2), 0x0001);
    EXPECT_EQ(image.Sample8(0, 1), 255);
    EXPECT_EQ(image.Sample8(0, 2), 0);
}

TEST_F(ImageLoader, SixteenBitPnmOfASmallerRangeIsScaledToFullRange)
{
    const std::string path = PathOf("twelve.pgm");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(file);
    // A comment in the header, then 4095 (full scale) and 2048 (a half).
    const unsigned char samples[] = {0x0F, 0xFF, 0x08, 0x00};
    std::fputs("P5\n# twelve bits\n2 1\n4095\n", file);
    std::fwrite(samples, 1, sizeof samples, file);
    std::fclose(file);
    const SourceImage image = LoadSourceImage(path);
    EXPECT_TRUE(image.IsGrey());
    EXPECT_EQ(image.Sample16(0, 0), 65535);
    EXPECT_EQ(image.Sample16(1, 0), 32776); // 2048 * 65535 / 4095, rounded
}

TEST_F(ImageLoader, TruncatedSixteenBitPnmIsRefused)
{
    const std::string path = PathOf("short.ppm");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(file);
    std::fputs("P6 2 2 65535\n\x01\x02", file);
    std::fclose(file);
    EXPECT_THROW(LoadSourceImage(path), ImageLoadError);
}

TEST_F(ImageLoader, UnreadableFilesSayWhy)
{
    const std::string path = PathOf("n.png");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(file);
    std::fputs("not a picture", file);
    std::fclose(file);
    EXPECT_THROW(LoadSourceImage(path), ImageLoadError);
    try {
        LoadSourceImage(PathOf("missing.png"));
        FAIL();
    } catch (const ImageLoadError& error) {
        EXPECT_NE(std::string(error.what()).find("missing.png"), std::string::npos);
    }
}

} // namespace
} // namespace vlscan
