// The pixel formats the host can deliver, each with the description it sends
// and the line layout the plug-in expects for it. Platform-free.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vlscan {

enum class HostFormat { Rgb24, Rgb48, Gray8, Gray16, Indexed8, Indexed4, Indexed1, Bilevel, Gray4 };

struct FormatInfo {
    HostFormat format;
    const char* name;
    uint32_t bitsPerPixel;
    uint32_t samplesPerPixel;
    uint32_t colourType; // 0 bilevel, 1 grey, 2 RGB, 3 indexed
    bool listed;         // offered in the help text
};

const FormatInfo& InfoOf(HostFormat format);
[[nodiscard]] std::optional<HostFormat> ParseFormat(std::string_view name);
// "rgb24|rgb48|..." of the listed formats, for the help text.
std::string ListedFormatNames();

// Bytes of a line of `bitsPerPixel` per pixel padded to 4 bytes.
constexpr uint32_t PaddedStride(uint32_t width, uint32_t bitsPerPixel)
{
    return static_cast<uint32_t>((static_cast<uint64_t>(width) * bitsPerPixel + 31) / 32 * 4);
}

// The host's bytesPerLine for the format: the padded stride, except 8-bit
// palette lines, which the plug-in steps by the width.
uint32_t BytesPerLine(HostFormat format, uint32_t width);

} // namespace vlscan
