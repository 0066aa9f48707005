#include "host/readers/ImageLoader.h"

#include "host/picture/PnmFile.h"
#include "tests/host/TestImages.h"

#include <gtest/gtest.h>
#include <stb_image_write.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include <jpeglib.h>

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

    static std::unique_ptr<SourceImage> Load(const std::string& path)
    {
        FilePtr file(std::fopen(path.c_str(), "rb"));
        EXPECT_TRUE(file) << path;
        return LoadSourceImage(std::move(file), NeverStop);
    }

    // The reason the loader gives, or "loaded" when it reads every line.
    static std::string ReasonFor(const std::string& path)
    {
        try {
            std::unique_ptr<SourceImage> image = Load(path);
            for (uint32_t y = 0; y < image->Height(); ++y) {
                image->Row(y);
            }
            return "loaded";
        } catch (const ImageLoadError& error) {
            return error.what();
        }
    }

    std::string WriteBytes(const char* name, const std::string& bytes)
    {
        const std::string path = PathOf(name);
        FilePtr file(std::fopen(path.c_str(), "wb"));
        EXPECT_TRUE(file && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size());
        return path;
    }

    std::string ReadBytes(const std::string& path)
    {
        FilePtr file(std::fopen(path.c_str(), "rb"));
        std::string bytes;
        for (int c = std::fgetc(file.get()); c != EOF; c = std::fgetc(file.get())) {
            bytes.push_back(static_cast<char>(c));
        }
        return bytes;
    }

    template <class Sample>
    std::string WritePnm(const char* name, uint32_t width, uint32_t height, uint32_t channels, uint32_t maxValue,
                         const std::vector<Sample>& samples)
    {
        const std::string path = PathOf(name);
        FilePtr file(std::fopen(path.c_str(), "wb"));
        PnmWriter pnm(file.get(), width, height, channels, maxValue);
        for (uint32_t y = 0; y < height; ++y) {
            EXPECT_TRUE(pnm.Line(samples.data() + static_cast<size_t>(y) * width * channels));
        }
        EXPECT_TRUE(CloseWritten(std::move(file)) && pnm.Good());
        return path;
    }

    // 4×2 RGB with distinct values in every sample.
    const std::vector<uint8_t> rgb{10,  20,  30,  40,  50,  60,  70,  80,  90,  100, 110, 120,
                                   130, 140, 150, 160, 170, 180, 190, 200, 210, 220, 230, 240};

private:
    std::vector<std::string> paths;
};

TEST_F(ImageLoader, LosslessFilesReadBackExactly)
{
    const std::string png = PathOf("a.png");
    const std::string bmp = PathOf("a.bmp");
    ASSERT_TRUE(stbi_write_png(png.c_str(), 4, 2, 3, rgb.data(), 12));
    ASSERT_TRUE(stbi_write_bmp(bmp.c_str(), 4, 2, 3, rgb.data()));
    const std::string ppm = WritePnm("a.ppm", 4, 2, 3, 255, rgb);
    // The same BMP with its lines stored top-down.
    std::string topDown = ReadBytes(bmp);
    topDown.replace(54, 12, ReadBytes(bmp).substr(66, 12)).replace(66, 12, ReadBytes(bmp).substr(54, 12));
    topDown[25] = topDown[24] = topDown[23] = '\xFF';
    topDown[22] = static_cast<char>(-2);
    const std::string reversed = WriteBytes("top-down.bmp", topDown);
    for (const std::string& path : {png, bmp, reversed, ppm}) {
        const std::unique_ptr<SourceImage> image = Load(path);
        EXPECT_EQ(image->Width(), 4u) << path;
        EXPECT_EQ(image->Height(), 2u);
        EXPECT_FALSE(image->IsGrey());
        EXPECT_EQ(Rgb8Of(*image), rgb) << path;
    }
}

TEST_F(ImageLoader, PaletteBmpLinesLookUpTheirColoursLeftPixelHigh)
{
    // 3×2, 4 bits, bottom-up, two colours used of sixteen, each line padded to 4 bytes.
    std::string bmp("BM\0\0\0\0\0\0\0\0\x3E\0\0\0"                       // file header, pixels at 62
                    "\x28\0\0\0\x03\0\0\0\x02\0\0\0\x01\0\x04\0"         // info: 3 x 2, 1 plane, 4 bits
                    "\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x02\0\0\0\0\0\0\0" // no compression, 2 colours
                    "\x30\x20\x10\0\xF0\xE0\xD0\0"                       // palette: 0 dark, 1 light (blue first)
                    "\x10\x00\0\0"                                       // bottom line: light dark dark
                    "\x01\x10\0\0",                                      // top line: dark light light
                    70);
    const std::unique_ptr<SourceImage> image = Load(WriteBytes("p4.bmp", bmp));
    EXPECT_EQ(Rgb8Of(*image),
              (std::vector<uint8_t>{0x10, 0x20, 0x30, 0xD0, 0xE0, 0xF0, 0xD0, 0xE0, 0xF0, 0xD0, 0xE0, 0xF0, 0x10, 0x20,
                                    0x30, 0x10, 0x20, 0x30}));
}

TEST_F(ImageLoader, AlphaIsLaidOnWhitePaper)
{
    // Grey 10 opaque, grey 200 fully transparent.
    const std::string grey = PathOf("g.png");
    ASSERT_TRUE(stbi_write_png(grey.c_str(), 2, 1, 2, std::vector<uint8_t>{10, 255, 200, 0}.data(), 4));
    const std::unique_ptr<SourceImage> greyImage = Load(grey);
    EXPECT_TRUE(greyImage->IsGrey());
    EXPECT_EQ(Rgb8Of(*greyImage), (std::vector<uint8_t>{10, 10, 10, 255, 255, 255}));

    // (1, 2, 3) transparent, (4, 5, 6) half covering white.
    const std::string rgba = PathOf("c.png");
    ASSERT_TRUE(stbi_write_png(rgba.c_str(), 2, 1, 4, std::vector<uint8_t>{1, 2, 3, 0, 4, 5, 6, 128}.data(), 8));
    const std::unique_ptr<SourceImage> colour = Load(rgba);
    EXPECT_FALSE(colour->IsGrey());
    EXPECT_EQ(Rgb8Of(*colour), (std::vector<uint8_t>{255, 255, 255, 129, 130, 130}));

    // Sixteen bits, grey and colour: 0x8000 at half cover comes to three quarters.
    MemoryImage wideGrey = ImageOf(1, 1, 2, std::vector<uint16_t>{0x8000, 0x8000});
    EXPECT_EQ(wideGrey.Row(0).Sample16(0, 0), 0xBFFF);
    MemoryImage wideColour = ImageOf(2, 1, 4, std::vector<uint16_t>{0, 65535, 0x1234, 65535, 9, 9, 9, 0});
    const SourceRow row = wideColour.Row(0);
    EXPECT_EQ(row.Sample16(0, 1), 65535);
    EXPECT_EQ(row.Sample16(0, 2), 0x1234);
    EXPECT_EQ(row.Sample16(1, 0), 65535);
}

TEST_F(ImageLoader, SixteenBitPnmKeepsItsSamplesAndSmallerRangesAreScaled)
{
    std::unique_ptr<SourceImage> image =
        Load(WritePnm("w.ppm", 1, 1, 3, 65535, std::vector<uint16_t>{0x1234, 0xFFFF, 1}));
    SourceRow row = image->Row(0);
    EXPECT_EQ(row.Sample16(0, 0), 0x1234);
    EXPECT_EQ(row.Sample16(0, 1), 0xFFFF);
    EXPECT_EQ(row.Sample16(0, 2), 0x0001);
    EXPECT_EQ(row.Sample8(0, 1), 255);
    EXPECT_EQ(row.Sample8(0, 2), 0);

    // A comment in the header, then 4095 (full scale) and 2048 (a half).
    image = Load(
        WriteBytes("twelve.pgm", std::string("P5\n# twelve bits\n2 1\n4095\n") + std::string("\x0F\xFF\x08\x00", 4)));
    EXPECT_TRUE(image->IsGrey());
    row = image->Row(0);
    EXPECT_EQ(row.Sample16(0, 0), 65535);
    EXPECT_EQ(row.Sample16(1, 0), 32776); // 2048 * 65535 / 4095, rounded

    // Four bits: 15 is white, 5 a third.
    image = Load(WritePnm("four.pgm", 2, 1, 1, 15, std::vector<uint8_t>{15, 5}));
    row = image->Row(0);
    EXPECT_EQ(row.Sample8(0, 0), 255);
    EXPECT_EQ(row.Sample8(1, 0), 85);
}

TEST_F(ImageLoader, FailuresSayWhyInWords)
{
    const std::string endsEarly = "the file ends before the picture does";
    const std::string png = PathOf("whole.png");
    ASSERT_TRUE(stbi_write_png(png.c_str(), 4, 2, 3, rgb.data(), 12));
    const std::string whole = ReadBytes(png);
    // Cut after the header, and inside the pixel data.
    EXPECT_EQ(ReasonFor(WriteBytes("header.png", whole.substr(0, 33))), endsEarly);
    EXPECT_EQ(ReasonFor(WriteBytes("cut.png", whole.substr(0, whole.size() - 20))), endsEarly);
    EXPECT_EQ(ReasonFor(WriteBytes("short.ppm", std::string("P6 2 2 65535\n\x01\x02", 15))), endsEarly);
    ASSERT_TRUE(stbi_write_bmp(PathOf("b.bmp").c_str(), 4, 2, 3, rgb.data()));
    EXPECT_EQ(ReasonFor(WriteBytes("cut.bmp", ReadBytes(PathOf("b.bmp")).substr(0, 60))), endsEarly);

    // A header asking for 100000 × 100000 pixels, its CRC made good.
    std::string huge = whole.substr(0, 33);
    huge.replace(16, 8, std::string("\x00\x01\x86\xA0\x00\x01\x86\xA0", 8));
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(huge.data() + 12), 17);
    for (int i = 0; i < 4; ++i) {
        huge[29 + i] = static_cast<char>(crc >> (24 - 8 * i));
    }
    EXPECT_EQ(ReasonFor(WriteBytes("huge.png", huge + whole.substr(33))),
              "the picture is 100000 x 100000 pixels, too large to hold in memory");

    EXPECT_EQ(ReasonFor(WriteBytes("n.png", "not a picture")),
              "the file is not a PNG, JPEG, BMP or binary PGM or PPM picture");
    EXPECT_EQ(ReasonFor(WriteBytes("bad.ppm", "P6 2 x 255\n")), "the PNM header is damaged");
    EXPECT_EQ(ReasonFor(WriteBytes("empty.png", "")), "the file is empty");
}

// A progressive JPEG of a grey ramp, as libjpeg writes it.
std::string ProgressiveJpeg(uint32_t width, uint32_t height)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* data = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &data, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = 1;
    info.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> line(width);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            line[x] = static_cast<JSAMPLE>(x + y);
        }
        JSAMPROW row = line.data();
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::string bytes(reinterpret_cast<const char*>(data), size);
    std::free(data);
    return bytes;
}

TEST_F(ImageLoader, JpegOfEndlessScansIsRefused)
{
    // Its first scan, up to the next one, 1500 times over: every scan is
    // a pass over the whole picture, so a big picture would take hours.
    const std::string jpeg = ProgressiveJpeg(64, 64);
    const size_t first = jpeg.find("\xFF\xDA");
    const size_t second = jpeg.find("\xFF\xDA", first + 2);
    ASSERT_NE(second, std::string::npos);
    EXPECT_EQ(ReasonFor(WriteBytes("scans.jpg", jpeg)), "loaded");
    std::string scans = jpeg.substr(0, first);
    for (int i = 0; i < 1500; ++i) {
        scans += jpeg.substr(first, second - first);
    }
    EXPECT_EQ(ReasonFor(WriteBytes("scans.jpg", scans + jpeg.substr(second))), "the picture data is damaged");
}

} // namespace
} // namespace vlscan
