#include "host/picture/HostPage.h"

#include "host/picture/LinePacking.h"
#include "host/picture/PnmFile.h"

#include <algorithm>

namespace vlscan {

namespace {

Palette PaletteFor(HostFormat format)
{
    switch (format) {
    case HostFormat::Gray8:
    case HostFormat::Gray16:
        return GreyRamp(256);
    case HostFormat::Gray4:
        return GreyRamp(16);
    case HostFormat::Indexed8:
        return CubePalette();
    case HostFormat::Indexed4:
        return SixteenPalette();
    case HostFormat::Indexed1:
        return InkPalette();
    case HostFormat::Bilevel:
        return BilevelPalette();
    case HostFormat::Rgb24:
    case HostFormat::Rgb48:
        break;
    }
    return {};
}

// Fills one line of a palette or bilevel page; the others are filled directly.
class IndexedLines {
public:
    IndexedLines(uint32_t width, HostFormat format, Dither dither)
        : width(width),
          format(format),
          dither(dither),
          indices(width),
          luma(width),
          diffusion(dither == Dither::Diffusion ? width : 0)
    {
    }

    void Fill(const SourceRow& row, uint32_t y, uint8_t* line)
    {
        switch (format) {
        case HostFormat::Indexed8:
            for (uint32_t x = 0; x < width; ++x) {
                line[x] = CubeIndex(ColourAt(row, x), Threshold(x, y));
            }
            return;
        case HostFormat::Indexed4:
            for (uint32_t x = 0; x < width; ++x) {
                indices[x] = SixteenIndex(ColourAt(row, x), Threshold(x, y));
            }
            PackNibbles(indices.data(), width, line);
            return;
        case HostFormat::Gray4:
            for (uint32_t x = 0; x < width; ++x) {
                indices[x] = static_cast<uint8_t>(OrderedLevel(row.Luma8(x), 16, Threshold(x, y)));
            }
            PackNibbles(indices.data(), width, line);
            return;
        default:
            FillBits(row, y, line);
            return;
        }
    }

private:
    uint32_t Threshold(uint32_t x, uint32_t y) const
    {
        return dither == Dither::Ordered ? BayerThreshold(x, y) : NearestThreshold;
    }

    static Rgb ColourAt(const SourceRow& row, uint32_t x)
    {
        return {row.Sample8(x, 0), row.Sample8(x, 1), row.Sample8(x, 2)};
    }

    void FillBits(const SourceRow& row, uint32_t y, uint8_t* line)
    {
        for (uint32_t x = 0; x < width; ++x) {
            luma[x] = row.Luma8(x);
        }
        if (dither == Dither::Diffusion) {
            diffusion.Line(luma.data(), indices.data());
        } else {
            for (uint32_t x = 0; x < width; ++x) {
                indices[x] = static_cast<uint8_t>(OrderedLevel(luma[x], 2, Threshold(x, y)));
            }
        }
        // The ink palette has white at index 0.
        if (format == HostFormat::Indexed1) {
            for (uint32_t x = 0; x < width; ++x) {
                indices[x] ^= 1;
            }
        }
        PackBits(indices.data(), width, line);
    }

    uint32_t width;
    HostFormat format;
    Dither dither;
    std::vector<uint8_t> indices;
    std::vector<uint8_t> luma;
    ErrorDiffusion diffusion;
};

void FillDirectLine(const SourceRow& row, HostFormat format, uint32_t width, uint8_t* line)
{
    switch (format) {
    case HostFormat::Rgb24:
        for (uint32_t x = 0; x < width; ++x) {
            for (uint32_t c = 0; c < 3; ++c) {
                line[3 * x + c] = row.Sample8(x, c);
            }
        }
        return;
    case HostFormat::Rgb48:
        for (uint32_t x = 0; x < width; ++x) {
            for (uint32_t c = 0; c < 3; ++c) {
                Store16LE(row.Sample16(x, c), line + 6 * x + 2 * c);
            }
        }
        return;
    case HostFormat::Gray8:
        for (uint32_t x = 0; x < width; ++x) {
            line[x] = row.Luma8(x);
        }
        return;
    default:
        for (uint32_t x = 0; x < width; ++x) {
            Store16LE(row.Luma16(x), line + 2 * x);
        }
        return;
    }
}

bool IsDirect(HostFormat format)
{
    return format == HostFormat::Rgb24 || format == HostFormat::Rgb48 || format == HostFormat::Gray8 ||
        format == HostFormat::Gray16;
}

// The palette index the plug-in reads for pixel x of a non-RGB line.
uint8_t IndexAt(HostFormat format, const uint8_t* line, uint32_t x)
{
    switch (format) {
    case HostFormat::Gray16:
        return line[2 * x + 1];
    case HostFormat::Indexed4:
    case HostFormat::Gray4:
        return NibbleAt(line, x);
    case HostFormat::Indexed1:
    case HostFormat::Bilevel:
        return BitAt(line, x);
    default:
        return line[x];
    }
}

} // namespace

Dither EffectiveDither(HostFormat format, Dither requested)
{
    const bool oneBit = InfoOf(format).bitsPerPixel == 1;
    if (requested == Dither::Auto) {
        return oneBit ? Dither::Diffusion : Dither::Ordered;
    }
    if (requested == Dither::Diffusion && !oneBit) {
        return Dither::Ordered;
    }
    return requested;
}

HostPage BuildHostPage(SourceImage& image, HostFormat format, Dither dither, const StopCheck& stop)
{
    const uint32_t width = image.Width();
    const uint32_t height = image.Height();
    HostPage page{format, width, height, BytesPerLine(format, width), {}, PaletteFor(format)};
    const uint64_t size = uint64_t{height} * page.bytesPerLine;
    if (size > page.bytes.max_size()) {
        throw ImageLoadError(TooLargeReason(width, height));
    }
    // Every byte is written below, padding included: no zero fill first.
    page.bytes.reserve(static_cast<size_t>(size));
    IndexedLines indexed(width, format, EffectiveDither(format, dither));
    std::vector<uint8_t> line(page.bytesPerLine);
    for (uint32_t y = 0; y < height; ++y) {
        if (stop()) {
            throw ReadInterrupted();
        }
        const SourceRow row = image.Row(y);
        if (IsDirect(format)) {
            FillDirectLine(row, format, width, line.data());
        } else {
            indexed.Fill(row, y, line.data());
        }
        page.bytes.insert(page.bytes.end(), line.begin(), line.end());
    }
    return page;
}

void RenderReferenceLine(const HostPage& page, uint32_t y, uint8_t* rgb)
{
    const uint8_t* line = page.Line(y);
    switch (page.format) {
    case HostFormat::Rgb24:
        std::copy(line, line + static_cast<size_t>(page.width) * 3, rgb);
        return;
    case HostFormat::Rgb48:
        for (uint32_t i = 0; i < page.width * 3; ++i) {
            rgb[i] = line[2 * i + 1];
        }
        return;
    default:
        for (uint32_t x = 0; x < page.width; ++x, rgb += 3) {
            const Rgb colour = page.palette[IndexAt(page.format, line, x)];
            rgb[0] = colour.red;
            rgb[1] = colour.green;
            rgb[2] = colour.blue;
        }
        return;
    }
}

bool WriteReference(std::FILE* file, const HostPage& page)
{
    PnmWriter pnm(file, page.width, page.height, 3, 255);
    std::vector<uint8_t> rgb(static_cast<size_t>(page.width) * 3);
    bool written = pnm.Good();
    for (uint32_t y = 0; y < page.height && written; ++y) {
        RenderReferenceLine(page, y, rgb.data());
        written = pnm.Line(rgb.data());
    }
    return written;
}

} // namespace vlscan
