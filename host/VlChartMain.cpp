// vlchart: writes a generated test picture for the scans and their tests.
//   vlchart OUTPUT [--size WxH] [--pattern chart|smooth] [--grey] [--depth 8|16]
// OUTPUT ending in .png is an 8-bit PNG; anything else a PGM or PPM.
#include "host/PngWriter.h"
#include "host/PnmFile.h"
#include "host/TestChart.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool EndsWith(const std::string& text, const char* tail)
{
    const size_t length = std::strlen(tail);
    return text.size() >= length && text.compare(text.size() - length, length, tail) == 0;
}

int Usage()
{
    std::fprintf(stderr, "usage: vlchart OUTPUT [--size WxH] [--pattern chart|smooth] [--grey] [--depth 8|16]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        return Usage();
    }
    const std::string output = argv[1];
    unsigned width = 1200;
    unsigned height = 900;
    vlscan::ChartPattern pattern = vlscan::ChartPattern::Chart;
    bool grey = false;
    unsigned depth = 8;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--grey") {
            grey = true;
        } else if (arg == "--size" && hasValue) {
            if (std::sscanf(argv[++i], "%ux%u", &width, &height) != 2 || width == 0 || height == 0) {
                return Usage();
            }
        } else if (arg == "--pattern" && hasValue) {
            const auto parsed = vlscan::ParseChartPattern(argv[++i]);
            if (!parsed) {
                return Usage();
            }
            pattern = *parsed;
        } else if (arg == "--depth" && hasValue) {
            depth = static_cast<unsigned>(std::atoi(argv[++i]));
            if (depth != 8 && depth != 16) {
                return Usage();
            }
        } else {
            return Usage();
        }
    }
    const bool png = EndsWith(output, ".png");
    if (png && depth == 16) {
        std::fprintf(stderr, "vlchart: 16-bit output is written as PNM only\n");
        return 2;
    }
    std::vector<uint16_t> samples = vlscan::DrawChart(pattern, width, height);
    if (grey) {
        samples = vlscan::GreyOf(samples);
    }
    const unsigned channels = grey ? 1 : 3;
    const bool written = depth == 16 ? vlscan::WritePnm16(output, width, height, channels, samples)
                         : png       ? vlscan::WritePng(output, width, height, channels, vlscan::HighBytes(samples))
                                     : vlscan::WritePnm(output, width, height, channels, vlscan::HighBytes(samples));
    if (!written) {
        std::fprintf(stderr, "vlchart: cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}
