#include "host/picture/HostFormat.h"

#include "host/picture/NameTable.h"

namespace vlscan {

namespace {

constexpr FormatInfo Formats[] = {
    {HostFormat::Rgb24, "rgb24", 24, 3, 2, true},
    {HostFormat::Rgb48, "rgb48", 48, 3, 2, true},
    {HostFormat::Gray8, "gray8", 8, 1, 1, true},
    {HostFormat::Gray16, "gray16", 16, 1, 1, true},
    {HostFormat::Indexed8, "indexed8", 8, 1, 3, true},
    {HostFormat::Indexed4, "indexed4", 4, 1, 3, true},
    {HostFormat::Indexed1, "indexed1", 1, 1, 3, true},
    {HostFormat::Bilevel, "bilevel", 1, 1, 0, true},
    // A grey depth the plug-in refuses: kept to exercise the refusal.
    {HostFormat::Gray4, "gray4", 4, 1, 1, false},
};

} // namespace

const FormatInfo& InfoOf(HostFormat format)
{
    for (const FormatInfo& info : Formats) {
        if (info.format == format) {
            return info;
        }
    }
    return Formats[0];
}

std::optional<HostFormat> ParseFormat(std::string_view name)
{
    const FormatInfo* info = FindNamed(Formats, name);
    return info ? std::optional<HostFormat>(info->format) : std::nullopt;
}

std::string ListedFormatNames()
{
    std::string names;
    for (const FormatInfo& info : Formats) {
        if (info.listed) {
            names += names.empty() ? "" : "|";
            names += info.name;
        }
    }
    return names;
}

uint32_t BytesPerLine(HostFormat format, uint32_t width)
{
    if (format == HostFormat::Indexed8) {
        return width;
    }
    return PaddedStride(width, InfoOf(format).bitsPerPixel);
}

} // namespace vlscan
