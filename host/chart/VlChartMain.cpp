// vlchart: writes a generated test picture for the scans and their tests.
//   vlchart OUTPUT [--size WxH] [--pattern chart|smooth] [--grey] [--depth 8|16]
// OUTPUT ending in .png is an 8-bit PNG; anything else a PGM or PPM.
#include "host/chart/TestChart.h"
#include "host/picture/FilePtr.h"
#include "host/picture/PngWriter.h"
#include "host/picture/PnmFile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

bool EndsWith(const std::string& text, const char* tail)
{
    const size_t length = std::strlen(tail);
    return text.size() >= length && text.compare(text.size() - length, length, tail) == 0;
}

// PNG files are written whole; PNM files a line at a time, so large pages
// never need the whole picture in memory.
template <class LineOf>
[[nodiscard]] bool WritePngChart(const std::string& output, unsigned width, unsigned height, unsigned channels,
                                 LineOf lineOf)
{
    std::vector<uint8_t> samples;
    samples.reserve(static_cast<size_t>(width) * height * channels);
    for (unsigned y = 0; y < height; ++y) {
        const std::vector<uint8_t> line = vlscan::HighBytes(lineOf(y));
        samples.insert(samples.end(), line.begin(), line.end());
    }
    return vlscan::WritePng(output, width, height, channels, samples);
}

template <class LineOf>
[[nodiscard]] bool WritePnmChart(const std::string& output, unsigned width, unsigned height, unsigned channels,
                                 unsigned depth, LineOf lineOf)
{
    vlscan::FilePtr file(std::fopen(output.c_str(), "wb"));
    if (!file) {
        return false;
    }
    vlscan::PnmWriter pnm(file.get(), width, height, channels, depth == 16 ? 65535 : 255);
    bool written = pnm.Good();
    for (unsigned y = 0; y < height && written; ++y) {
        const std::vector<uint16_t> line = lineOf(y);
        written = depth == 16 ? pnm.Line(line.data()) : pnm.Line(vlscan::HighBytes(line).data());
    }
    return vlscan::CloseWritten(std::move(file)) && written;
}

int Usage()
{
    std::fprintf(stderr, "usage: vlchart OUTPUT [--size WxH] [--pattern %s] [--grey] [--depth 8|16]\n",
                 vlscan::NamesInUsage(vlscan::ChartPatternNames).c_str());
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
            const auto parsed = vlscan::ParseNamed(vlscan::ChartPatternNames, argv[++i]);
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
    const unsigned channels = grey ? 1 : 3;
    const auto lineOf = [&](uint32_t y) {
        std::vector<uint16_t> line = vlscan::DrawChartLine(pattern, width, height, y);
        return grey ? vlscan::GreyOf(line) : line;
    };
    const bool written = png ? WritePngChart(output, width, height, channels, lineOf)
                             : WritePnmChart(output, width, height, channels, depth, lineOf);
    if (!written) {
        std::fprintf(stderr, "vlchart: cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}
