// The records the host hands the plug-in: the parameter block, the job
// record (whose destination fields the converter reads) and the one image
// record buffer, filled through the view each command reads.
#pragma once

#include "host/job/BlockPlan.h"
#include "host/picture/HostFormat.h"
#include "host/picture/HostPage.h"
#include "interface/HostInterface.h"
#include "interface/JobDestination.h"

#include <string>

namespace vlscan {

// The host's own registry key under HKEY_CURRENT_USER; the plug-in keeps its
// values in the "EXIF" key below it.
constexpr char HostKeyPath[] = "Software\\VLScan";

class HostRecords {
public:
    HostRecords();
    HostRecords(const HostRecords&) = delete;
    HostRecords& operator=(const HostRecords&) = delete;

    vlexif::HostParams& Params() { return params; }
    const vlexif::JobRecord& Job() const { return *reinterpret_cast<const vlexif::JobRecord*>(jobBytes); }

    // False when a text does not fit its field.
    [[nodiscard]] bool SetDestination(const std::string& fullPath, const std::string& make, const std::string& model);

    void DescribeImage(const FormatInfo& format, uint32_t width, uint32_t height, uint32_t dpi);
    void OfferPalette(const Palette& palette);
    void OfferBlock(const HostPage& page, const BlockSpan& span);

private:
    void ClearImage();

    vlexif::HostParams params;
    // Large enough for the plug-in's view of the job record and the converter's.
    alignas(
        8) uint8_t jobBytes[sizeof(vkexf::JobDestination) > sizeof(vlexif::JobRecord) ? sizeof(vkexf::JobDestination)
                                                                                      : sizeof(vlexif::JobRecord)];
    // Large enough for the largest view: a palette of 256 entries.
    alignas(8) uint8_t imageBytes[offsetof(vlexif::PaletteView, entries) + 256 * sizeof(vlexif::HostPaletteEntry)];
    static_assert(sizeof(imageBytes) >= sizeof(vlexif::ImageDescription) &&
                      sizeof(imageBytes) >= sizeof(vlexif::BlockView),
                  "every view fits the image record buffer");
};

} // namespace vlscan
