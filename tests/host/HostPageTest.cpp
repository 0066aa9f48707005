#include "host/picture/HostPage.h"

#include "tests/host/TestImages.h"

#include <gtest/gtest.h>

#include <vector>

namespace vlscan {
namespace {

// 3×2 RGB: red green blue / white grey black.
MemoryImage SmallColour()
{
    return ImageOf(3, 2, 3,
                   std::vector<uint8_t>{255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 128, 128, 128, 0, 0, 0});
}

TEST(HostPage, Rgb24LinesArePaddedAndInRedGreenBlueOrder)
{
    const HostPage page = Build(SmallColour(), HostFormat::Rgb24, Dither::Auto);
    EXPECT_EQ(page.bytesPerLine, 12u);
    ASSERT_EQ(page.bytes.size(), 24u);
    EXPECT_EQ(std::vector<uint8_t>(page.bytes.begin(), page.bytes.begin() + 12),
              (std::vector<uint8_t>{255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0}));
    EXPECT_TRUE(page.palette.empty());
    MemoryImage colour = SmallColour();
    EXPECT_EQ(RenderReference(page), Rgb8Of(colour));
}

TEST(HostPage, Rgb48KeepsSixteenBitSamplesLowByteFirst)
{
    const HostPage page =
        Build(ImageOf(1, 1, 3, std::vector<uint16_t>{0x1234, 0xABCD, 0x00FF}), HostFormat::Rgb48, Dither::Auto);
    EXPECT_EQ(page.bytesPerLine, 8u);
    EXPECT_EQ(page.bytes, (std::vector<uint8_t>{0x34, 0x12, 0xCD, 0xAB, 0xFF, 0x00, 0, 0}));
    // The plug-in keeps the high bytes.
    EXPECT_EQ(RenderReference(page), (std::vector<uint8_t>{0x12, 0xAB, 0x00}));
}

TEST(HostPage, EightBitInputWidensToFullSixteenBitRange)
{
    const HostPage page = Build(ImageOf(1, 1, 1, std::vector<uint8_t>{0xFF}), HostFormat::Gray16, Dither::Auto);
    EXPECT_EQ(page.bytes[0], 0xFF);
    EXPECT_EQ(page.bytes[1], 0xFF);
}

TEST(HostPage, GreyFormatsCarryLumaAndAnIdentityRamp)
{
    const HostPage gray8 = Build(SmallColour(), HostFormat::Gray8, Dither::Auto);
    EXPECT_EQ(gray8.bytesPerLine, 4u);
    EXPECT_EQ(gray8.palette, GreyRamp(256));
    // Rec. 601: red 76, green 150, blue 29.
    EXPECT_EQ(std::vector<uint8_t>(gray8.bytes.begin(), gray8.bytes.begin() + 4),
              (std::vector<uint8_t>{76, 150, 29, 0}));
    EXPECT_EQ(std::vector<uint8_t>(gray8.bytes.begin() + 4, gray8.bytes.end()), (std::vector<uint8_t>{255, 128, 0, 0}));

    const HostPage gray16 = Build(SmallColour(), HostFormat::Gray16, Dither::Auto);
    EXPECT_EQ(gray16.bytesPerLine, 8u);
    EXPECT_EQ(gray16.bytes[1], 76);
    EXPECT_EQ(gray16.bytes[3], 150);
    const std::vector<uint8_t> reference = RenderReference(gray16);
    EXPECT_EQ(std::vector<uint8_t>(reference.begin(), reference.begin() + 3), (std::vector<uint8_t>{76, 76, 76}));
}

TEST(HostPage, Indexed8StepsByWidthAndMapsPaletteColoursExactly)
{
    const HostPage page = Build(SmallColour(), HostFormat::Indexed8, Dither::Ordered);
    EXPECT_EQ(page.bytesPerLine, 3u);
    EXPECT_EQ(page.bytes.size(), 6u);
    EXPECT_EQ(page.palette.size(), 256u);
    EXPECT_EQ(page.bytes[0], 5 * 36);
    EXPECT_EQ(page.bytes[1], 5 * 6);
    EXPECT_EQ(page.bytes[2], 5);
    // Pure colours, white and black are exact; the mid grey comes close.
    const std::vector<uint8_t> reference = RenderReference(page);
    MemoryImage colour = SmallColour();
    const std::vector<uint8_t> source = Rgb8Of(colour);
    for (size_t i = 0; i < source.size(); ++i) {
        EXPECT_NEAR(reference[i], source[i], 7) << i;
    }
}

TEST(HostPage, Indexed4PacksTwoPixelsPerByteLeftHigh)
{
    const HostPage page = Build(SmallColour(), HostFormat::Indexed4, Dither::Ordered);
    EXPECT_EQ(page.bytesPerLine, 4u);
    EXPECT_EQ(page.palette.size(), 16u);
    // red 4, green 2 / blue 1, pad.
    EXPECT_EQ(page.bytes[0], 0x42);
    EXPECT_EQ(page.bytes[1], 0x10);
    EXPECT_EQ(page.bytes[2], 0);
    // white 7, black 0 in the second line.
    EXPECT_EQ(page.bytes[4] >> 4, 7);
    EXPECT_EQ(page.bytes[5] >> 4, 0);
}

TEST(HostPage, OneBitFormatsPackEightPixelsPerByteLeftHigh)
{
    // 9 pixels: white, black, white... so each byte alternates from the top bit.
    std::vector<uint8_t> grey;
    for (int x = 0; x < 9; ++x) {
        grey.push_back(x % 2 ? 0 : 255);
    }
    MemoryImage image = ImageOf(9, 1, 1, grey);
    const HostPage bilevel = BuildHostPage(image, HostFormat::Bilevel, Dither::None, NeverStop);
    EXPECT_EQ(bilevel.bytesPerLine, 4u);
    EXPECT_EQ(bilevel.bytes, (std::vector<uint8_t>{0xAA, 0x80, 0, 0}));
    EXPECT_EQ(bilevel.palette, BilevelPalette());

    // The ink palette flips the bits but not the picture.
    const HostPage ink = BuildHostPage(image, HostFormat::Indexed1, Dither::None, NeverStop);
    EXPECT_EQ(ink.bytes, (std::vector<uint8_t>{0x55, 0x00, 0, 0}));
    EXPECT_EQ(RenderReference(ink), RenderReference(bilevel));
    const std::vector<uint8_t> reference = RenderReference(ink);
    EXPECT_EQ(reference[0], 255);
    EXPECT_EQ(reference[3], 0);
}

TEST(HostPage, DefaultDitherIsDiffusionForOneBitAndOrderedOtherwise)
{
    EXPECT_EQ(EffectiveDither(HostFormat::Bilevel, Dither::Auto), Dither::Diffusion);
    EXPECT_EQ(EffectiveDither(HostFormat::Indexed1, Dither::Auto), Dither::Diffusion);
    EXPECT_EQ(EffectiveDither(HostFormat::Indexed8, Dither::Auto), Dither::Ordered);
    EXPECT_EQ(EffectiveDither(HostFormat::Indexed4, Dither::Diffusion), Dither::Ordered);
    EXPECT_EQ(EffectiveDither(HostFormat::Bilevel, Dither::None), Dither::None);
}

TEST(HostPage, DitheredBilevelKeepsAMidGreyHalfWhite)
{
    const uint32_t width = 64;
    const uint32_t height = 64;
    MemoryImage image = ImageOf(width, height, 1, std::vector<uint8_t>(width * height, 128));
    for (const Dither dither : {Dither::Ordered, Dither::Diffusion}) {
        const HostPage page = BuildHostPage(image, HostFormat::Bilevel, dither, NeverStop);
        const std::vector<uint8_t> reference = RenderReference(page);
        uint64_t sum = 0;
        for (const uint8_t v : reference) {
            sum += v;
        }
        EXPECT_NEAR(static_cast<double>(sum) / reference.size(), 128.0, 3.0);
    }
}

TEST(HostPage, GreyFourPacksLikeIndexedFour)
{
    const HostPage page = Build(ImageOf(3, 1, 1, std::vector<uint8_t>{0, 255, 0x11}), HostFormat::Gray4, Dither::None);
    EXPECT_EQ(page.bytesPerLine, 4u);
    EXPECT_EQ(page.bytes[0], 0x0F);
    EXPECT_EQ(page.bytes[1], 0x10);
    EXPECT_EQ(page.palette.size(), 16u);
}

} // namespace
} // namespace vlscan
