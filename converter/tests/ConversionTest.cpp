// Conversions through the real VkExf.dll, loaded the way the plug-in loads it.
#include "converter/JobDestination.h"
#include "converter/VkExf.h"
#include "converter/tests/DecodedJpeg.h"
#include "converter/tests/TestBmp.h"
#include "converter/tests/TestFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

namespace vkexf {
namespace {

using test::BmpHeaderKind;
using test::BmpSpec;
using test::DecodedJpeg;
using test::MakeBmp;
using test::Rgb;

constexpr char kVersion[] = "VkExf tests 1.0";

class ConversionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        module_ = LoadLibraryA(VKEXF_DLL_PATH);
        ASSERT_TRUE(module_) << "cannot load " << VKEXF_DLL_PATH;
        entry_ = reinterpret_cast<VkExfEntryProc>(
            reinterpret_cast<void*>(GetProcAddress(module_, kVkExfEntryName)));
        ASSERT_TRUE(entry_) << "no export " << kVkExfEntryName;
    }
    static void TearDownTestSuite() { FreeLibrary(module_); }

    uint32_t Convert(const std::string& spool, const std::string& outputName, int32_t quality = 90,
                     const char* make = "", const char* model = "")
    {
        JobDestination job = {};
        std::strcpy(job.outputPath, folder_.Path(outputName).c_str());
        std::strcpy(job.make, make);
        std::strcpy(job.model, model);
        return entry_(kVersion, &job, spool.c_str(), quality) & 0xFFFF;
    }

    DecodedJpeg ConvertAndDecode(const BmpSpec& spec, const test::PixelFn& pixel, int32_t quality)
    {
        const auto spool = folder_.Write("spool.bmp", MakeBmp(spec, pixel));
        EXPECT_EQ(Convert(spool, "out.jpg", quality), 0u);
        return test::DecodeJpeg(folder_.Read("out.jpg"));
    }

    test::TestFolder folder_;
    static inline HMODULE module_ = nullptr;
    static inline VkExfEntryProc entry_ = nullptr;
};

struct Shape {
    BmpHeaderKind header;
    uint32_t width;
    uint32_t height;
    bool topDown;
};

void PrintTo(const Shape& shape, std::ostream* out)
{
    *out << (shape.header == BmpHeaderKind::Core ? "core " : "info ") << shape.width << 'x'
         << shape.height << (shape.topDown ? " top-down" : " bottom-up");
}

std::string ShapeName(const ::testing::TestParamInfo<Shape>& info)
{
    const Shape& shape = info.param;
    return std::string(shape.header == BmpHeaderKind::Core ? "Core" : "Info") +
           std::to_string(shape.width) + "x" + std::to_string(shape.height) +
           (shape.topDown ? "TopDown" : "BottomUp");
}

class ConvertsShape : public ConversionTest, public ::testing::WithParamInterface<Shape> {};

TEST_P(ConvertsShape, DecodesToTheSameImage)
{
    BmpSpec spec;
    spec.header = GetParam().header;
    spec.width = GetParam().width;
    spec.height = GetParam().height;
    spec.topDown = GetParam().topDown;
    const auto pixels = test::Ramps(spec.width, spec.height);
    const DecodedJpeg jpeg = ConvertAndDecode(spec, pixels, 95);
    ASSERT_TRUE(jpeg.ok);
    EXPECT_EQ(jpeg.width, spec.width);
    EXPECT_EQ(jpeg.height, spec.height);
    EXPECT_GE(jpeg.Psnr(pixels), 35.0);
}

INSTANTIATE_TEST_SUITE_P(
    OddWidths, ConvertsShape,
    ::testing::Values(Shape{BmpHeaderKind::Info, 1, 9, false}, Shape{BmpHeaderKind::Info, 3, 9, true},
                      Shape{BmpHeaderKind::Info, 5, 17, false}, Shape{BmpHeaderKind::Info, 7, 17, true},
                      Shape{BmpHeaderKind::Core, 1, 9, false}, Shape{BmpHeaderKind::Core, 3, 11, false},
                      Shape{BmpHeaderKind::Core, 5, 13, false}, Shape{BmpHeaderKind::Core, 7, 33, false},
                      Shape{BmpHeaderKind::Info, 64, 48, false}),
    ShapeName);

// Over a megabyte of rows: several reads, the last one short.
INSTANTIATE_TEST_SUITE_P(
    ManyBands, ConvertsShape,
    ::testing::Values(Shape{BmpHeaderKind::Info, 1001, 777, false},
                      Shape{BmpHeaderKind::Info, 1001, 777, true},
                      Shape{BmpHeaderKind::Core, 1001, 777, false}),
    ShapeName);

TEST_F(ConversionTest, ChannelsKeepTheirColour)
{
    BmpSpec spec;
    spec.width = 48;
    spec.height = 32;
    const auto halves = [](uint32_t x, uint32_t) { return x < 24 ? Rgb{255, 0, 0} : Rgb{0, 0, 255}; };
    const DecodedJpeg jpeg = ConvertAndDecode(spec, halves, 95);
    ASSERT_TRUE(jpeg.ok);
    const Rgb red = jpeg.At(8, 16);
    EXPECT_GT(red.r, 230);
    EXPECT_LT(red.g, 25);
    EXPECT_LT(red.b, 25);
    const Rgb blue = jpeg.At(40, 16);
    EXPECT_LT(blue.r, 25);
    EXPECT_LT(blue.g, 25);
    EXPECT_GT(blue.b, 230);
}

TEST_F(ConversionTest, JfifCarriesTheBmpResolutionInDpi)
{
    BmpSpec spec;
    spec.xPixelsPerMetre = 11811;
    spec.yPixelsPerMetre = 23622;
    DecodedJpeg jpeg = ConvertAndDecode(spec, test::Ramps(1, 1), 90);
    ASSERT_TRUE(jpeg.ok);
    EXPECT_TRUE(jpeg.jfif);
    EXPECT_EQ(jpeg.densityUnit, 1);
    EXPECT_EQ(jpeg.xDensity, 300u);
    EXPECT_EQ(jpeg.yDensity, 600u);

    spec.header = BmpHeaderKind::Core;
    jpeg = ConvertAndDecode(spec, test::Ramps(1, 1), 90);
    EXPECT_EQ(jpeg.densityUnit, 1);
    EXPECT_EQ(jpeg.xDensity, 72u);
    EXPECT_EQ(jpeg.yDensity, 72u);
}

TEST_F(ConversionTest, ExifNamesScannerAndSoftware)
{
    const auto spool = folder_.Write("spool.bmp", MakeBmp(BmpSpec{}, test::Ramps(1, 1)));
    ASSERT_EQ(Convert(spool, "out.jpg", 90, "Varlo", "VS-400"), 0u);
    const DecodedJpeg jpeg = test::DecodeJpeg(folder_.Read("out.jpg"));
    ASSERT_EQ(jpeg.app1.size(), 1u);
    const std::string& exif = jpeg.app1[0];
    EXPECT_EQ(exif.compare(0, 6, std::string("Exif\0\0", 6)), 0);
    for (const char* text : {"Varlo", "VS-400", kVersion})
        EXPECT_NE(exif.find(text), std::string::npos) << text;
}

TEST_F(ConversionTest, QualityIsClamped)
{
    BmpSpec spec;
    spec.width = 64;
    spec.height = 64;
    const auto spool = folder_.Write("spool.bmp", MakeBmp(spec, test::Ramps(64, 64)));
    ASSERT_EQ(Convert(spool, "low.jpg", -5), 0u);
    ASSERT_EQ(Convert(spool, "lowest.jpg", 1), 0u);
    ASSERT_EQ(Convert(spool, "high.jpg", 250), 0u);
    ASSERT_EQ(Convert(spool, "highest.jpg", 100), 0u);
    // Same clamped quality, same bytes apart from the time stamps.
    EXPECT_EQ(folder_.Read("low.jpg").size(), folder_.Read("lowest.jpg").size());
    EXPECT_EQ(folder_.Read("high.jpg").size(), folder_.Read("highest.jpg").size());
    EXPECT_LT(folder_.Read("low.jpg").size(), folder_.Read("high.jpg").size());
}

TEST_F(ConversionTest, SpoolFileIsUnchangedAndClosed)
{
    const auto bytes = MakeBmp(BmpSpec{BmpHeaderKind::Info, 5, 5, false, 0, 0}, test::Ramps(5, 5));
    const auto spool = folder_.Write("spool.bmp", bytes);
    ASSERT_EQ(Convert(spool, "out.jpg"), 0u);
    EXPECT_EQ(folder_.Read("spool.bmp"), bytes);
    // Windows refuses to delete a file that is still open.
    EXPECT_TRUE(DeleteFileA(spool.c_str()));
}

TEST_F(ConversionTest, ReplacesAnExistingDestination)
{
    folder_.Write("out.jpg", {'o', 'l', 'd'});
    const auto spool = folder_.Write("spool.bmp", MakeBmp(BmpSpec{}, test::Ramps(1, 1)));
    ASSERT_EQ(Convert(spool, "out.jpg"), 0u);
    EXPECT_TRUE(test::DecodeJpeg(folder_.Read("out.jpg")).ok);
    EXPECT_EQ(folder_.Files(), (std::vector<std::string>{"out.jpg", "spool.bmp"}));
}

struct BadSpool {
    const char* name;
    void (*damage)(std::vector<uint8_t>&);
};

void PrintTo(const BadSpool& spool, std::ostream* out) { *out << spool.name; }

class RefusesSpool : public ConversionTest, public ::testing::WithParamInterface<BadSpool> {};

TEST_P(RefusesSpool, LeavesNoOutputAndKeepsTheOldFile)
{
    auto bytes = MakeBmp(BmpSpec{BmpHeaderKind::Info, 9, 9, false, 0, 0}, test::Ramps(9, 9));
    GetParam().damage(bytes);
    const auto spool = folder_.Write("spool.bmp", bytes);
    const std::vector<uint8_t> old = {'k', 'e', 'e', 'p'};
    folder_.Write("kept.jpg", old);

    EXPECT_NE(Convert(spool, "new.jpg"), 0u);
    EXPECT_NE(Convert(spool, "kept.jpg"), 0u);
    EXPECT_EQ(folder_.Read("kept.jpg"), old);
    EXPECT_EQ(folder_.Files(), (std::vector<std::string>{"kept.jpg", "spool.bmp"}));
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, RefusesSpool,
    ::testing::Values(
        BadSpool{"Truncated", [](auto& b) { b.resize(b.size() - 1); }},
        BadSpool{"HeadersOnly", [](auto& b) { b.resize(54); }},
        BadSpool{"Empty", [](auto& b) { b.clear(); }},
        BadSpool{"Signature", [](auto& b) { b[0] = 'P'; }},
        BadSpool{"EightBit", [](auto& b) { test::PutU16(b, 28, 8); }},
        BadSpool{"Compressed", [](auto& b) { test::PutU32(b, 30, 1); }},
        BadSpool{"AbsurdSize", [](auto& b) { test::PutU32(b, 18, 0x40000000); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConversionTest, RefusesMissingArguments)
{
    const auto spool = folder_.Write("spool.bmp", MakeBmp(BmpSpec{}, test::Ramps(1, 1)));
    JobDestination job = {};
    EXPECT_NE(entry_(kVersion, nullptr, spool.c_str(), 75) & 0xFFFF, 0u);
    EXPECT_NE(entry_(kVersion, &job, spool.c_str(), 75) & 0xFFFF, 0u) << "empty path";
    std::memset(job.outputPath, 'x', sizeof job.outputPath);
    EXPECT_NE(entry_(kVersion, &job, spool.c_str(), 75) & 0xFFFF, 0u) << "unterminated path";
    std::strcpy(job.outputPath, folder_.Path("out.jpg").c_str());
    EXPECT_NE(entry_(kVersion, &job, nullptr, 75) & 0xFFFF, 0u);
    EXPECT_NE(entry_(kVersion, &job, folder_.Path("absent.bmp").c_str(), 75) & 0xFFFF, 0u);
    EXPECT_EQ(folder_.Files(), std::vector<std::string>{"spool.bmp"});
}

TEST_F(ConversionTest, UnwritableDestinationLeavesNothing)
{
    const auto spool = folder_.Write("spool.bmp", MakeBmp(BmpSpec{}, test::Ramps(1, 1)));
    EXPECT_NE(Convert(spool, "no-such-folder\\out.jpg"), 0u);
    // A folder in the destination's place: the finished file cannot move there.
    ASSERT_TRUE(CreateDirectoryA(folder_.Path("taken.jpg").c_str(), nullptr));
    EXPECT_NE(Convert(spool, "taken.jpg"), 0u);
    RemoveDirectoryA(folder_.Path("taken.jpg").c_str());
    EXPECT_EQ(folder_.Files(), std::vector<std::string>{"spool.bmp"});
}

} // namespace
} // namespace vkexf
