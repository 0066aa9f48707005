#include "spool/BmpSpoolPlugin.h"

#include "pixels/FormatRows.h"
#include "pixels/PaletteArea.h"
#include "pixels/PixelFormat.h"
#include "spool/AppendZeros.h"
#include "spool/BmpHeaderBuilder.h"
#include "spool/FreeSpace.h"
#include "spool/SpoolPath.h"

#include <algorithm>

namespace vlexif {

PluginStatus BmpSpoolPlugin::CheckFormat()
{
    const PluginStatus status = ClassifyFormat();
    if (status != StatusOk) {
        return status;
    }
    static_cast<void>(settings.WriteDword("ImageFormat", formatCode)); // this object keeps the code too
    return IsAcceptedFormat(formatCode) ? StatusOk : StatusBadFormat;
}

PluginStatus BmpSpoolPlugin::CheckImageSize(SpoolImage& image) const
{
    const ImageDescription& description = Description();
    // The core header holds 16-bit sizes: a larger image would not match its file.
    if (image.layout == HeaderLayout::Core && (description.width > 0xFFFF || description.height > 0xFFFF)) {
        return StatusBadFormat;
    }
    return SpoolFileSizes(PixelDataOffset(image.layout, image.colours), description.width, description.height,
                          image.bitCount, image.pixelAreaSize)
        ? StatusOk
        : StatusBadFormat;
}

PluginStatus BmpSpoolPlugin::BuildHeader(const SpoolImage& image)
{
    if (!workBuffer.Allocate(HeaderBlockSize)) {
        return StatusNoMemory;
    }
    const ImageDescription& description = Description();
    const HeaderImage header{description.xDpi,   description.yDpi, description.width,
                             description.height, image.bitCount,   image.colours};
    if (image.layout == HeaderLayout::Info) {
        BuildInfoHeaderBytes(header, workBuffer.Address());
    } else {
        BuildCoreHeaderBytes(header, workBuffer.Address());
    }
    return StatusOk;
}

PluginStatus BmpSpoolPlugin::WriteHeader(const SpoolImage& image)
{
    const PluginStatus status = spoolFile.Write(HeaderBytes(image.layout), workBuffer.Address());
    const uint32_t paletteBytes = PaletteEntryBytes(image.layout) * image.colours;
    if (status != StatusOk || paletteBytes == 0) {
        return status;
    }
    GlobalBlock palette;
    if (!palette.Allocate(paletteBytes)) {
        return StatusNoMemory;
    }
    return spoolFile.Write(paletteBytes, palette.Address());
}

PluginStatus BmpSpoolPlugin::CreateSpoolFile(const SpoolImage& image)
{
    // A job begun again without finish or abort would orphan its first file:
    // the path stored for it is about to be replaced.
    // Earlier jobs' held files first: the one about to be deleted, if it
    // stays, is remembered for the next chance rather than tried twice now.
    RemoveLeftovers();
    if (LoadTempPath()) {
        DeleteSpool(tempPath);
    }
    if (!MakeSpoolPath(tempPath)) {
        workBuffer.Reset();
        return StatusCreateFailed;
    }
    if (spoolFile.Create(tempPath, heldFileWaits) != StatusOk) {
        workBuffer.Reset();
        // The empty file the name was reserved with is ours: leave nothing behind.
        DeleteSpool(tempPath);
        return StatusCreateFailed;
    }
    // The spool file's own folder: TEMP may be a volume of its own.
    PluginStatus status = HasRoomFor(QueryFreeSpace(tempPath), image.FileBytes()) ? StatusOk : StatusDiskFull;
    if (status == StatusOk) {
        status = WriteHeader(image);
    }
    if (status == StatusOk) {
        status = AppendZeros(spoolFile, image.pixelAreaSize);
    }
    status = CloseWritten(status);
    if (status != StatusOk) {
        return status;
    }
    blockCount = 0;
    // A spool file whose path cannot be kept could never be found again by
    // the job's later calls, nor deleted by its abort.
    if (!settings.WriteString("TempFile", tempPath)) {
        DeleteSpool(tempPath);
        return StatusCreateFailed;
    }
    static_cast<void>(settings.WriteDword("LoopCount", 0)); // a record only: no later call reads it
    return StatusOk;
}

void BmpSpoolPlugin::ReloadLayout()
{
    if (job.fileTypeRead) {
        fileType = job.fileType; // none stored, or not a number: this object's layout stays
    }
}

PluginStatus BmpSpoolPlugin::BeginImage()
{
    ReloadLayout();
    if (const PluginStatus status = ReloadFormatCode()) {
        return status;
    }
    const ImageDescription& description = Description();
    // The stored format decides the depth and the palette area, as it decides
    // the rows every block writes: a description changed since the format
    // check cannot make the header disagree with them.
    SpoolImage image{SpoolLayout(), SpoolBitDepth(formatCode, description.bitsPerPixel), PaletteEntries(formatCode), 0};
    PluginStatus status = CheckImageSize(image);
    if (status == StatusOk) {
        status = BuildHeader(image);
    }
    return status == StatusOk ? CreateSpoolFile(image) : status;
}

PluginStatus BmpSpoolPlugin::SetPalette()
{
    ReloadLayout();
    if (const PluginStatus status = ReloadFormatCode()) {
        return status;
    }
    if (IsRgbFormat(formatCode)) {
        return StatusOk;
    }
    uint64_t fileSize = 0;
    if (OpenSpoolFile(fileSize) != StatusOk) {
        return StatusOpenFailed;
    }
    const HeaderLayout layout = SpoolLayout();
    if (spoolFile.Seek(HeaderBytes(layout), FILE_BEGIN) != StatusOk) {
        CloseAndDelete();
        return StatusSeekFailed;
    }
    const PaletteView& view = PaletteViewOf(imageRecord);
    const uint32_t entryBytes = PaletteEntryBytes(layout);
    // Sized to hold every index the host names, so that a palette with gaps
    // keeps its colours, but never past the header's palette area.
    const uint32_t slots = std::min(PaletteSlotsNamed(reinterpret_cast<const uint8_t*>(view.entries), view.count),
                                    PaletteEntries(formatCode));
    if (!workBuffer.Allocate(slots * entryBytes)) {
        CloseAndDelete();
        return StatusNoMemory;
    }
    PlaceFileEntries(reinterpret_cast<const uint8_t*>(view.entries), view.count, entryBytes, slots,
                     workBuffer.Address());
    return CloseWritten(spoolFile.Write(workBuffer.Size(), workBuffer.Address()));
}

PluginStatus BmpSpoolPlugin::WriteBlock()
{
    ReloadLayout();
    if (const PluginStatus status = ReloadFormatCode()) {
        return status;
    }
    return WriteNativeBlock();
}

PluginStatus BmpSpoolPlugin::WriteNativeBlock()
{
    const NativeConversion* format = FindNativeConversion(formatCode);
    const uint32_t pixelDataOffset = PixelDataOffset(SpoolLayout(), PaletteEntries(formatCode));
    if (!format) {
        return PlaceBlock({}, 0, pixelDataOffset, nullptr);
    }
    const HostBlock block = CurrentBlock();
    const uint32_t distance = SourceDistance(format->walk, block);
    const auto convert = format->convert;
    return PlaceBlock(format->walk, SpoolBitDepth(formatCode, 0), pixelDataOffset,
                      [convert, distance](const HostBlock& b, uint8_t* rows, uint32_t stride) {
                          convert(b, distance, rows, stride);
                      });
}

PluginStatus BmpSpoolPlugin::PlaceBlock(const SourceWalk& walk, uint32_t outputBits, uint32_t pixelDataOffset,
                                        FillRows fill)
{
    uint64_t fileSize = 0;
    if (OpenSpoolFile(fileSize) != StatusOk) {
        return StatusOpenFailed;
    }
    const HostBlock block = CurrentBlock();
    // A refused block leaves the file exactly as it was.
    if (!fill || fileSize < pixelDataOffset || !SourceCoversWalk(walk, block) ||
        !BlockFitsPixelArea(block, outputBits, fileSize - pixelDataOffset)) {
        static_cast<void>(spoolFile.Close()); // nothing was written through it
        return StatusBadFormat;
    }
    // Within the pixel area, so within a signed 64-bit distance; a block's
    // rows must also fit one 32-bit block of memory.
    const uint64_t stride = bmp::WideRowStride(static_cast<uint32_t>(block.width), outputBits);
    const uint64_t rowBytes = static_cast<uint32_t>(block.lines) * stride;
    if (rowBytes > UINT32_MAX || !workBuffer.Allocate(static_cast<uint32_t>(rowBytes))) {
        CloseAndDelete();
        return StatusNoMemory;
    }
    fill(block, workBuffer.Address(), static_cast<uint32_t>(stride));
    const uint64_t rowsFromEnd = static_cast<uint64_t>(block.linesBefore) + static_cast<uint32_t>(block.lines);
    PluginStatus status = spoolFile.Seek(-static_cast<int64_t>(rowsFromEnd * stride), FILE_END);
    if (status == StatusOk) {
        status = spoolFile.Write(static_cast<uint32_t>(rowBytes), workBuffer.Address());
    }
    status = CloseWritten(status);
    if (status != StatusOk) {
        return status;
    }
    ++blockCount;
    static_cast<void>(settings.WriteDword("LoopCount", blockCount)); // a record only: no later call reads it
    return StatusOk;
}

PluginStatus BmpSpoolPlugin::Abort()
{
    // Earlier jobs' held files first, as at the begin.
    RemoveLeftovers();
    // A foreign path names nothing of ours; the spool file this object made
    // for the job, if it still proves itself, goes all the same.
    const ValueRead path = LoadTempPath();
    if (path || (path.Foreign() && IsOwnSpoolPath(tempPath, heldFileWaits))) {
        DeleteSpool(tempPath);
    }
    settings.DeleteValue("TempFile");
    settings.DeleteValue("ImageFormat");
    settings.DeleteValue("LoopCount");
    return StatusOk;
}

} // namespace vlexif
