#include "host/job/HostRecords.h"

#include <cstring>

namespace vlscan {

namespace {

template <size_t N>
[[nodiscard]] bool CopyText(char (&field)[N], const std::string& text)
{
    if (text.size() >= N) {
        return false;
    }
    std::memcpy(field, text.c_str(), text.size() + 1);
    return true;
}

} // namespace

HostRecords::HostRecords()
{
    std::memset(&params, 0, sizeof params);
    std::memset(jobBytes, 0, sizeof jobBytes);
    std::memset(imageBytes, 0, sizeof imageBytes);
    std::strcpy(params.registry.keyPath, HostKeyPath);
    params.registry.root = HKEY_CURRENT_USER;
    params.owner = nullptr;
    auto& job = *reinterpret_cast<vlexif::JobRecord*>(jobBytes);
    job.image = reinterpret_cast<vlexif::ImageRecord*>(imageBytes);
    params.job = &job;
}

bool HostRecords::SetDestination(const std::string& fullPath, const std::string& make, const std::string& model)
{
    auto& destination = *reinterpret_cast<vkexf::JobDestination*>(jobBytes);
    return CopyText(destination.outputPath, fullPath) && CopyText(destination.make, make) &&
        CopyText(destination.model, model);
}

void HostRecords::ClearImage()
{
    std::memset(imageBytes, 0, sizeof imageBytes);
}

void HostRecords::DescribeImage(const FormatInfo& format, uint32_t width, uint32_t height, uint32_t dpi)
{
    ClearImage();
    auto& description = *reinterpret_cast<vlexif::ImageDescription*>(imageBytes);
    description.xDpi = dpi;
    description.yDpi = dpi;
    description.width = static_cast<int32_t>(width);
    description.height = static_cast<int32_t>(height);
    description.samplesPerPixel = format.samplesPerPixel;
    description.bitsPerPixel = format.bitsPerPixel;
    description.colourType = format.colourType;
    description.mustBeZero = 0;
}

void HostRecords::OfferPalette(const Palette& palette)
{
    ClearImage();
    auto& view = *reinterpret_cast<vlexif::PaletteView*>(imageBytes);
    const size_t count = palette.size() < 256 ? palette.size() : 256;
    view.count = static_cast<uint16_t>(count);
    auto* entries = reinterpret_cast<vlexif::HostPaletteEntry*>(imageBytes + offsetof(vlexif::PaletteView, entries));
    for (size_t i = 0; i < count; ++i) {
        entries[i] = {static_cast<uint8_t>(i), palette[i].red, palette[i].green, palette[i].blue};
    }
}

void HostRecords::OfferBlock(const HostPage& page, const BlockSpan& span)
{
    ClearImage();
    auto& view = *reinterpret_cast<vlexif::BlockView*>(imageBytes);
    view.bytesPerLine = static_cast<int32_t>(page.bytesPerLine);
    view.width = static_cast<int32_t>(page.width);
    view.lines = static_cast<int32_t>(span.lines);
    view.linesBefore = static_cast<int32_t>(span.linesBefore);
    view.data = page.Line(span.linesBefore);
}

} // namespace vlscan
