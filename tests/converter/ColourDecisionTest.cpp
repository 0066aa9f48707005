// The colour decision on a calibration set of generated scans: text pages
// as a scanner gives them (noise, a contact-image sensor's colour fringes,
// tinted paper, a JPEG round trip) must come out grey, pages with a little
// real colour on them in colour, with one worker and with many alike.
#include "converter/Converter.h"
#include "interface/JobDestination.h"
#include "tests/converter/TestBmp.h"
#include "tests/converter/TestFolder.h"
#include "tests/converter/TestJpeg.h"

#include <windows.h>

#include <cmath>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <jpeglib.h>

namespace vkexf {
namespace {

using test::Rgb;
using Bytes = std::vector<uint8_t>;

// A letter page at 100 dpi.
constexpr uint32_t Width = 850;
constexpr uint32_t Height = 1100;

uint32_t Hash(uint32_t x, uint32_t y, uint32_t salt)
{
    uint32_t h = (x * 73856093u) ^ (y * 19349663u) ^ (salt * 83492791u);
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    return h ^ (h >> 15);
}

// Roughly normal, of deviation `sigma`: four uniforms summed.
double Noise(uint32_t x, uint32_t y, uint32_t salt, double sigma)
{
    double sum = 0;
    for (uint32_t i = 0; i < 4; ++i) {
        sum += (Hash(x, y, salt * 4 + i) & 0xFFFF) / 65535.0 - 0.5;
    }
    return sum * sigma * std::sqrt(3.0);
}

uint8_t Clamp(double v)
{
    return static_cast<uint8_t>(std::lround(std::fmin(std::fmax(v, 0.0), 255.0)));
}

// Lines of words of glyph-like strokes, 2 pixels wide.
bool Ink(uint32_t x, uint32_t y)
{
    if (x < 60 || x >= Width - 60 || y < 60 || y >= Height - 60 || (y - 60) % 24 >= 14) {
        return false;
    }
    const uint32_t line = (y - 60) / 24;
    const uint32_t word = (x + Hash(line, 0, 9) % 40) / 48;
    const uint32_t in = (x + Hash(line, 0, 9) % 40) % 48;
    if (in >= 8 + Hash(line, word, 7) % 30) {
        return false;
    }
    const uint32_t row = (y - 60) % 24, column = in % 7;
    return column < 2 || row < 2 || (row >= 6 && row < 8 && Hash(line, word, in / 7) % 2) || row >= 12;
}

struct Scan {
    Rgb paper = {248, 248, 248};
    double noise = 3;  // per channel
    int fringe = 0;    // red on the left of the strokes, blue on the right
    int roundTrip = 0; // the page's quality through JPEG first, 0 for none
};

std::vector<Rgb> TextPage(const Scan& scan)
{
    std::vector<Rgb> page(size_t{Width} * Height);
    for (uint32_t y = 0; y < Height; ++y) {
        for (uint32_t x = 0; x < Width; ++x) {
            double r = scan.paper.r, g = scan.paper.g, b = scan.paper.b;
            if (Ink(x, y)) {
                r = g = b = 24;
            } else if (x + 1 < Width && Ink(x + 1, y)) {
                r += scan.fringe, g -= scan.fringe / 3.0, b -= scan.fringe;
            } else if (x > 0 && Ink(x - 1, y)) {
                r -= scan.fringe, g -= scan.fringe / 3.0, b += scan.fringe;
            }
            // The sensor's noise, partly shared by the channels.
            const double shared = Noise(x, y, 1, scan.noise);
            page[size_t{y} * Width + x] = {Clamp(r + shared + Noise(x, y, 2, scan.noise)),
                                           Clamp(g + shared + Noise(x, y, 3, scan.noise)),
                                           Clamp(b + shared + Noise(x, y, 4, scan.noise))};
        }
    }
    return page;
}

// A page's JPEG decoded: the page as a scanner's own compression leaves it.
std::vector<Rgb> Decoded(const Bytes& jpeg)
{
    const Bytes pixels = test::DecodeJpeg(jpeg);
    std::vector<Rgb> page(size_t{Width} * Height);
    if (pixels.size() != page.size() * sizeof(Rgb)) {
        ADD_FAILURE() << "the round trip's JPEG does not decode to the page";
        return page;
    }
    std::memcpy(page.data(), pixels.data(), pixels.size());
    return page;
}

// Real colour over a scanned text page: true where it paints `pixel`.
using Mark = bool (*)(uint32_t x, uint32_t y, Rgb& pixel);

// A pen's 2-pixel stroke in blue ink, waving across 240 pixels.
bool Signature(uint32_t x, uint32_t y, Rgb& pixel)
{
    const double phase = (double(x) - 500) / 11, centre = 960 + 18 * std::sin(phase);
    pixel = {40, 60, 150};
    return x >= 500 && x < 740 && std::fabs(y - centre) < 1 + 1.2 * std::fabs(std::cos(phase));
}
// A ring 20 pixels across (5 mm at 100 dpi), 2 pixels thick, in red.
bool Stamp(uint32_t x, uint32_t y, Rgb& pixel)
{
    const double r = std::hypot(x - 700.5, y - 150.5);
    pixel = {200, 40, 40};
    return r >= 8 && r < 10;
}
// Yellow over one line of text, multiplying.
bool Highlighter(uint32_t x, uint32_t y, Rgb& pixel)
{
    pixel = {pixel.r, uint8_t(pixel.g * 250 / 255), uint8_t(pixel.b * 110 / 255)};
    return x >= 200 && x < 500 && y >= 298 && y < 316;
}
// On cream paper, fields about 10 of CIELAB chroma bluer than it.
bool FormFields(uint32_t x, uint32_t y, Rgb& pixel)
{
    const bool paper = pixel.r >= 128;
    pixel = {uint8_t(pixel.r - 8), uint8_t(pixel.g - 1), uint8_t(pixel.b + 18)};
    return x >= 400 && x < 760 && y >= 500 && y < 800 && (y - 500) % 60 < 24 && paper;
}
// 32 pixels square in the top-right corner, four colours.
bool Logo(uint32_t x, uint32_t y, Rgb& pixel)
{
    const Rgb colours[] = {{220, 30, 30}, {30, 160, 60}, {30, 60, 200}, {240, 200, 20}};
    pixel = colours[(x / 16 + y / 16) % 4];
    return x >= 800 && x < 832 && y >= 16 && y < 48;
}
// Hue across, brightness down, over the whole page.
bool Photograph(uint32_t x, uint32_t y, Rgb& pixel)
{
    const double hue = x * 6.283 / Width, level = 40 + 200.0 * y / Height;
    pixel = {Clamp(level * (0.75 + 0.25 * std::cos(hue))), Clamp(level * (0.75 + 0.25 * std::cos(hue - 2.1))),
             Clamp(level * (0.75 + 0.25 * std::cos(hue + 2.1)))};
    return true;
}

// An old photograph in sepia over the whole page: one warm tone, darker
// down, its light parts as tinted as paper never is.
bool Sepia(uint32_t x, uint32_t y, Rgb& pixel)
{
    const double level = 60 + 190.0 * y / Height + 10 * std::sin(x / 40.0);
    pixel = {Clamp(level * 1.0), Clamp(level * 0.92), Clamp(level * 0.80)};
    return true;
}

struct Case {
    const char* what;
    Scan scan;
    Mark mark;
    bool colour; // in the tolerant mode
};

constexpr Rgb Cream = {250, 246, 234};

const Case Calibration[] = {
    {"clean text", {{248, 248, 248}, 1, 0, 0}, nullptr, false},
    {"noise 4", {{248, 248, 248}, 4, 0, 0}, nullptr, false},
    {"noise 8", {{248, 248, 248}, 8, 0, 0}, nullptr, false},
    {"strong noise 12", {{248, 248, 248}, 12, 0, 0}, nullptr, false},
    {"fringes", {{248, 248, 248}, 3, 60, 0}, nullptr, false},
    {"strong fringes", {{248, 248, 248}, 6, 90, 0}, nullptr, false},
    {"cream paper", {Cream, 4, 40, 0}, nullptr, false},
    {"fringes, JPEG 75", {{248, 248, 248}, 4, 80, 75}, nullptr, false},
    {"cream paper, JPEG 50", {Cream, 6, 60, 50}, nullptr, false},
    {"signature", {{248, 248, 248}, 4, 40, 0}, Signature, true},
    {"stamp", {{248, 248, 248}, 4, 40, 0}, Stamp, true},
    {"highlighter", {{248, 248, 248}, 4, 40, 0}, Highlighter, true},
    {"form fields", {Cream, 4, 40, 0}, FormFields, true},
    {"logo", {{248, 248, 248}, 4, 40, 0}, Logo, true},
    {"photograph", {{248, 248, 248}, 4, 0, 0}, Photograph, true},
    {"sepia photograph", {{248, 248, 248}, 4, 0, 0}, Sepia, true},
    {"signature, JPEG 75", {{248, 248, 248}, 4, 40, 75}, Signature, true},
    {"stamp, JPEG 75", {{248, 248, 248}, 4, 40, 75}, Stamp, true},
};

std::vector<Rgb> PageOf(const Case& c)
{
    std::vector<Rgb> page = TextPage(c.scan);
    for (uint32_t y = 0; c.mark && y < Height; ++y) {
        for (uint32_t x = 0; x < Width; ++x) {
            Rgb& pixel = page[size_t{y} * Width + x];
            Rgb painted = pixel;
            if (c.mark(x, y, painted)) {
                pixel = painted;
            }
        }
    }
    return page;
}

// SOF to EOI: the Exif segment ahead of it carries the time.
Bytes Frame(const Bytes& jpeg)
{
    for (size_t at = 2; at + 4 <= jpeg.size();) {
        if (jpeg[at + 1] == 0xC0) {
            return Bytes(jpeg.begin() + long(at), jpeg.end());
        }
        at += 2 + (size_t{jpeg[at + 2]} << 8 | jpeg[at + 3]);
    }
    return {};
}

bool Colour(const Bytes& frame)
{
    return frame.size() > 9 && frame[9] == 3;
}

class ColourDecision : public ::testing::Test {
protected:
    ColourDecision() : folder("vkexf-colour-") {}

    // The case's page as a spool file, through a colour JPEG first if it says so.
    std::string SpoolOf(const Case& c)
    {
        std::vector<Rgb> page = PageOf(c);
        const auto write = [&] {
            return folder.Write("spool.bmp", test::MakeBmp({false, Width, Height}, [&](uint32_t x, uint32_t y) {
                                    return page[size_t{y} * Width + x];
                                }));
        };
        if (c.scan.roundTrip) {
            Convert(write(), c.scan.roundTrip, VkExfColourAlways, false);
            page = Decoded(folder.Read("out.jpg"));
        }
        return write();
    }

    Bytes Convert(const std::string& spool, int quality, VkExfColourMode mode, bool alone)
    {
        DWORD_PTR all = 0, system = 0;
        EXPECT_TRUE(GetProcessAffinityMask(GetCurrentProcess(), &all, &system));
        EXPECT_TRUE(SetProcessAffinityMask(GetCurrentProcess(), alone ? all & (~all + 1) : all));
        JobDestination job = {};
        std::strcpy(job.outputPath, folder.Path("out.jpg").c_str());
        VkExfOptions options = {sizeof options, quality, mode, {}};
        EXPECT_EQ(ConvertSpoolToJpeg("tests", &job, spool.c_str(), &options), StatusOk);
        EXPECT_TRUE(SetProcessAffinityMask(GetCurrentProcess(), all));
        return Frame(folder.Read("out.jpg"));
    }

    test::TestFolder folder;
};

// Each page in the default mode, one worker and many writing the same
// bytes, a colour page the bytes of the always-colour mode; the exact mode
// takes the first grey page for colour, and a mode this converter does not
// know is the default.
TEST_F(ColourDecision, TheCalibrationSetIsDecidedRight)
{
    bool first = true;
    for (const Case& c : Calibration) {
        SCOPED_TRACE(c.what);
        const std::string spool = SpoolOf(c);
        const int quality = c.colour ? 75 : 95;
        const Bytes many = Convert(spool, quality, VkExfColourAuto, false);
        EXPECT_EQ(Colour(many), c.colour);
        EXPECT_EQ(Convert(spool, quality, VkExfColourAuto, true), many) << "one worker";
        if (c.colour) {
            EXPECT_EQ(Convert(spool, quality, VkExfColourAlways, false), many) << "always";
        } else if (first) {
            first = false;
            EXPECT_TRUE(Colour(Convert(spool, quality, VkExfColourExact, false))) << "exact";
            EXPECT_EQ(Convert(spool, quality, static_cast<VkExfColourMode>(7), false), many) << "unknown";
        }
    }
}

TEST_F(ColourDecision, OptionsTooShortOrMissingAreRefused)
{
    const std::string spool = folder.Write("spool.bmp", test::MakeBmp({false, 8, 8}));
    JobDestination job = {};
    std::strcpy(job.outputPath, folder.Path("out.jpg").c_str());
    VkExfOptions options = {offsetof(VkExfOptions, colourMode) + 3, 90, VkExfColourAuto, {}};
    EXPECT_EQ(ConvertSpoolToJpeg("tests", &job, spool.c_str(), &options), StatusBadArguments);
    EXPECT_EQ(ConvertSpoolToJpeg("tests", &job, spool.c_str(), nullptr), StatusBadArguments);
    options.size = offsetof(VkExfOptions, colourMode) + 4;
    EXPECT_EQ(ConvertSpoolToJpeg("tests", &job, spool.c_str(), &options), StatusOk);
}

} // namespace
} // namespace vkexf
