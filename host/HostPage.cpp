#include "host/HostPage.h"

#include "host/LinePacking.h"

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
    IndexedLines(const SourceImage& image, HostFormat format, Dither dither)
        : image(image), format(format), dither(dither), indices(image.Width()), luma(image.Width()),
          diffusion(dither == Dither::Diffusion ? image.Width() : 0)
    {
    }

    void Fill(uint32_t y, uint8_t* line)
    {
        const uint32_t width = image.Width();
        const size_t first = static_cast<size_t>(y) * width;
        switch (format) {
        case HostFormat::Indexed8:
            for (uint32_t x = 0; x < width; ++x) {
                line[x] = CubeIndex(ColourAt(first + x), Threshold(x, y));
            }
            return;
        case HostFormat::Indexed4:
            for (uint32_t x = 0; x < width; ++x) {
                indices[x] = SixteenIndex(ColourAt(first + x), Threshold(x, y));
            }
            PackNibbles(indices.data(), width, line);
            return;
        case HostFormat::Gray4:
            for (uint32_t x = 0; x < width; ++x) {
                indices[x] = static_cast<uint8_t>(OrderedLevel(image.Luma8(first + x), 16, Threshold(x, y)));
            }
            PackNibbles(indices.data(), width, line);
            return;
        default:
            FillBits(y, first, line);
            return;
        }
    }

private:
    uint32_t Threshold(uint32_t x, uint32_t y) const
    {
        return dither == Dither::Ordered ? BayerThreshold(x, y) : NearestThreshold;
    }

    Rgb ColourAt(size_t pixel) const { return {image.Sample8(pixel, 0), image.Sample8(pixel, 1), image.Sample8(pixel, 2)}; }

    void FillBits(uint32_t y, size_t first, uint8_t* line)
    {
        const uint32_t width = image.Width();
        for (uint32_t x = 0; x < width; ++x) {
            luma[x] = image.Luma8(first + x);
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

    const SourceImage& image;
    HostFormat format;
    Dither dither;
    std::vector<uint8_t> indices;
    std::vector<uint8_t> luma;
    ErrorDiffusion diffusion;
};

void FillDirectLine(const SourceImage& image, HostFormat format, uint32_t y, uint8_t* line)
{
    const uint32_t width = image.Width();
    const size_t first = static_cast<size_t>(y) * width;
    for (uint32_t x = 0; x < width; ++x) {
        switch (format) {
        case HostFormat::Rgb24:
            for (uint32_t c = 0; c < 3; ++c) {
                line[3 * x + c] = image.Sample8(first + x, c);
            }
            break;
        case HostFormat::Rgb48:
            for (uint32_t c = 0; c < 3; ++c) {
                Store16LE(image.Sample16(first + x, c), line + 6 * x + 2 * c);
            }
            break;
        case HostFormat::Gray8:
            line[x] = image.Luma8(first + x);
            break;
        default:
            Store16LE(image.Luma16(first + x), line + 2 * x);
            break;
        }
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

HostPage BuildHostPage(const SourceImage& image, HostFormat format, Dither dither)
{
    const uint32_t width = image.Width();
    const uint32_t height = image.Height();
    HostPage page{format, width, height, BytesPerLine(format, width), {}, PaletteFor(format)};
    page.bytes.assign(static_cast<size_t>(height) * page.bytesPerLine, 0);
    IndexedLines indexed(image, format, EffectiveDither(format, dither));
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* line = page.bytes.data() + static_cast<size_t>(y) * page.bytesPerLine;
        if (IsDirect(format)) {
            FillDirectLine(image, format, y, line);
        } else {
            indexed.Fill(y, line);
        }
    }
    return page;
}

std::vector<uint8_t> RenderReference(const HostPage& page)
{
    std::vector<uint8_t> rgb(static_cast<size_t>(page.width) * page.height * 3);
    uint8_t* out = rgb.data();
    for (uint32_t y = 0; y < page.height; ++y) {
        const uint8_t* line = page.Line(y);
        for (uint32_t x = 0; x < page.width; ++x, out += 3) {
            if (page.format == HostFormat::Rgb24) {
                out[0] = line[3 * x];
                out[1] = line[3 * x + 1];
                out[2] = line[3 * x + 2];
            } else if (page.format == HostFormat::Rgb48) {
                out[0] = line[6 * x + 1];
                out[1] = line[6 * x + 3];
                out[2] = line[6 * x + 5];
            } else {
                const Rgb colour = page.palette[IndexAt(page.format, line, x)];
                out[0] = colour.red;
                out[1] = colour.green;
                out[2] = colour.blue;
            }
        }
    }
    return rgb;
}

} // namespace vlscan
