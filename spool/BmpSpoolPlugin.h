// A spool writer that stores the image in a bottom-up BMP spool file at the
// image's own depth, in the info-header or the core-header layout.
#pragma once

#include "pixels/FillRows.h"
#include "spool/BmpHeaderBuilder.h"
#include "spool/ScanPlugin.h"

namespace vlexif {

class BmpSpoolPlugin : public ScanPlugin {
public:
    PluginStatus Describe() override { return StatusOk; }
    PluginStatus Configure() override { return StatusOk; }
    PluginStatus About() override { return StatusOk; }
    PluginStatus BeginImage() override;
    PluginStatus SetPalette() override;
    PluginStatus WriteBlock() override;
    PluginStatus Abort() override;

    // Expects the settings store bound by the caller. Virtual so that a
    // spool writer above, which adds its own checks, overrides it rather
    // than hides it.
    virtual PluginStatus CheckFormat();

protected:
    // The head of the spool file, as it will be laid out.
    struct SpoolImage {
        HeaderLayout layout;
        uint32_t bitCount;
        uint32_t colours;
        uint64_t pixelAreaSize; // filled by CheckImageSize

        uint64_t FileBytes() const { return PixelDataOffset(layout, colours) + pixelAreaSize; }
    };

    // Refuses, before any file exists, an image its header cannot state.
    PluginStatus CheckImageSize(SpoolImage& image) const;
    PluginStatus BuildHeader(const SpoolImage& image);
    // The built header and a zeroed palette area.
    PluginStatus WriteHeader(const SpoolImage& image);
    // From the built header to a full-length, all-zero spool file whose path
    // is stored for the job's later calls. The whole file is weighed against
    // the free space once, before a byte is written.
    PluginStatus CreateSpoolFile(const SpoolImage& image);

    // Reloads the layout the user chose, "File Type"; none stored leaves it.
    void ReloadLayout();
    HeaderLayout SpoolLayout() const { return fileType == 0 ? HeaderLayout::Info : HeaderLayout::Core; }

    // A block at the spool depth of `formatCode`, in the layout of `fileType`.
    PluginStatus WriteNativeBlock();

    // One block into its place: opens the stored spool file, which proves
    // itself on that handle, checks the block against the source it reads and
    // the pixel area it lands in, fills the work block with its rows and
    // writes them with one seek and one write.
    PluginStatus PlaceBlock(const SourceWalk& walk, uint32_t outputBits, uint32_t pixelDataOffset, FillRows fill);

    uint32_t fileType = 0;
};

} // namespace vlexif
