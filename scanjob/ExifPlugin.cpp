#include "scanjob/ExifPlugin.h"

#include "interface/ResourceIds.h"
#include "interface/VkExf.h"
#include "interface/VkExfLimits.h"
#include "pixels/FormatRows.h"
#include "pixels/PixelFormat.h"
#include "spool/BmpHeaderBuilder.h"
#include "spool/JobOwner.h"
#include "win32/AnsiCodePage.h"
#include "win32/Module.h"
#include "win32/ResourceText.h"

#include <cstring>

namespace vlexif {

namespace {

// The rows the converter reads.
constexpr uint32_t ExpandedBits = bmp::TrueColourBits;

// Room for the colour mode's words after the formatted rate.
constexpr int ModeTextBytes = 128;

} // namespace

PluginStatus ExifPlugin::TakeJob()
{
    BindSettings();
    if (JobOwner(settings, job).Claim()) {
        return StatusOk;
    }
    failureMessage = IDS_PLUGIN_IN_USE;
    return StatusOpenFailed;
}

bool ExifPlugin::ConverterAvailable()
{
    if (!converter.Load(OwnModule())) {
        return false;
    }
    converter.Reset();
    return true;
}

bool ExifPlugin::PageFitsJpeg()
{
    const ImageDescription& description = Description();
    constexpr int64_t Most = VkExfMaxImageSide;
    if (description.width <= Most && description.height <= Most) {
        return true;
    }
    failureMessage = IDS_PAGE_TOO_LARGE;
    return false;
}

void ExifPlugin::WriteSummary()
{
    char format[128];
    LoadResourceText(IDS_SUMMARY_FORMAT, format, sizeof format);
    // wsprintfA writes up to 1024 characters; the host's field is smaller,
    // and is cut before a whole character, never inside a double-byte one.
    char summary[1025 + ModeTextBytes];
    const int length = wsprintfA(summary, format, compressRate);
    // Apart from the format, whose one conversion is the rate's.
    LoadResourceText(IDS_SUMMARY_COLOUR_AUTO + settings.ReadColourMode(), summary + length, ModeTextBytes);
    CopyWholeChars(hostParams->summaryText, sizeof hostParams->summaryText, summary, AnsiLeadBytes());
}

PluginStatus ExifPlugin::Describe()
{
    if (!ConverterAvailable()) {
        return StatusNoConverter;
    }
    BindSettings();
    static_cast<void>(settings.WriteDword("File Type", 0)); // describing does not depend on it
    compressRate = 75;
    static_cast<void>(settings.ReadCompressRate(compressRate)); // none of the user's: the default
    LoadResourceText(IDS_DISPLAY_TEXT_1, hostParams->displayText1, sizeof hostParams->displayText1);
    LoadResourceText(IDS_SHORT_TEXT, jobRecord->shortText, sizeof jobRecord->shortText);
    LoadResourceText(IDS_DISPLAY_TEXT_2, hostParams->displayText2, sizeof hostParams->displayText2);
    WriteSummary();
    hostParams->describeFlag = 1;
    jobRecord->firstJobFlag = 0;
    jobRecord->secondJobFlag = 1;
    return StatusOk;
}

PluginStatus ExifPlugin::CheckFormat()
{
    if (!ConverterAvailable()) {
        return StatusNoConverter;
    }
    if (!PageFitsJpeg()) {
        return StatusBadFormat;
    }
    if (const PluginStatus status = TakeJob()) {
        return status;
    }
    const PluginStatus status = BmpSpoolPlugin::CheckFormat();
    // A refused image begins no job: unless one of this process's is under
    // way, nothing is left to guard, and a host that never aborts after a
    // refusal must not keep its other windows out for as long as it runs.
    if (status != StatusOk && !job.tempPathRead) {
        JobOwner(settings, job).Drop();
    }
    return status;
}

PluginStatus ExifPlugin::SetPalette()
{
    if (const PluginStatus status = TakeJob()) {
        return status;
    }
    if (const PluginStatus status = ReloadFormatCode()) {
        return status;
    }
    if (IsRgbFormat(formatCode)) {
        return BmpSpoolPlugin::SetPalette();
    }
    const PaletteView& view = PaletteViewOf(imageRecord);
    const uint32_t stored = PlaceHostEntries(reinterpret_cast<const uint8_t*>(view.entries), view.count, palette);
    // Not kept, the palette still serves this load's blocks: this object holds it.
    static_cast<void>(settings.WriteDword("Palette Num", stored));
    static_cast<void>(settings.WriteBinary("Palette", palette, stored * sizeof(PaletteEntry)));
    return StatusOk;
}

PluginStatus ExifPlugin::BeginImage()
{
    if (!PageFitsJpeg()) {
        return StatusBadFormat;
    }
    if (const PluginStatus status = TakeJob()) {
        return status;
    }
    if (const PluginStatus status = ReloadFormatCode()) {
        return status;
    }
    if (IsRgbFormat(formatCode)) {
        return BmpSpoolPlugin::BeginImage();
    }
    // Always the 24-bit info header: the rows below are 24-bit whatever
    // "File Type" says, and the core layout would misdescribe them.
    SpoolImage image{HeaderLayout::Info, ExpandedBits, 0, 0};
    PluginStatus status = CheckImageSize(image);
    if (status == StatusOk) {
        status = BuildHeader(image);
    }
    return status == StatusOk ? CreateSpoolFile(image) : status;
}

PluginStatus ExifPlugin::LoadPalette()
{
    // None stored: the count and the table this object holds stay.
    const uint32_t count = job.paletteCountRead ? job.paletteCount : paletteCount;
    if (job.paletteCountRead.Foreign() || count > PaletteCapacity || job.paletteRead.Foreign() ||
        (job.paletteRead && job.paletteBytes != count * sizeof(PaletteEntry))) {
        return EndChangedJob();
    }
    paletteCount = count;
    if (job.paletteRead) {
        std::memcpy(palette, job.palette, job.paletteBytes);
    }
    return StatusOk;
}

PluginStatus ExifPlugin::WriteBlock()
{
    if (const PluginStatus status = TakeJob()) {
        return status;
    }
    if (const PluginStatus status = ReloadFormatCode()) {
        return status;
    }
    if (IsRgbFormat(formatCode)) {
        ReloadLayout();
        return WriteNativeBlock();
    }
    const Expansion* expansion = FindExpansion(formatCode);
    if (!expansion) {
        return PlaceBlock({}, 0, PixelDataOffset(HeaderLayout::Info, 0), nullptr);
    }
    // Read with the job's other values: only where the table is used.
    if (expansion->usesPalette) {
        if (const PluginStatus status = LoadPalette()) {
            return status;
        }
    }
    // The rows are filled by the pixel layer's kernel alone, from the table
    // loaded above: nothing calls back up from the spool.
    const auto expand = expansion->expand;
    const PaletteEntry(&table)[PaletteCapacity] = palette;
    return PlaceBlock(expansion->walk, ExpandedBits, PixelDataOffset(HeaderLayout::Info, 0),
                      [expand, &table](const HostBlock& block, uint8_t* rows, uint32_t stride) {
                          expand(block, table, rows, stride);
                      });
}

PluginStatus ExifPlugin::Finish()
{
    if (const PluginStatus status = TakeJob()) {
        return status;
    }
    const ValueRead ownPath = LoadTempPath();
    if (ownPath.Foreign()) {
        return EndChangedJob();
    }
    static_cast<void>(settings.ReadCompressRate(compressRate)); // none of the user's: the rate stays
    // 0 for a rate of 100: the converter writes no quality below 1.
    const int32_t quality = 100 - compressRate;
    VkExfOptions options = {};
    options.size = sizeof options;
    options.quality = quality;
    options.colourMode = settings.ReadColourMode();
    PluginStatus status = StatusCreateFailed;
    // Without a spool file of its own there is nothing to convert.
    if (ownPath && converter.Load(OwnModule())) {
        const uint32_t converted = converter.Convert(ConverterVersionText, jobRecord, tempPath, options);
        if (converted == 0) {
            status = StatusOk;
        } else if (converted == VkExfSavedBeside) {
            // Not the file the host asked for, but the page is safe: the
            // user is told where, not that it was lost.
            failureMessage = IDS_SAVED_BESIDE;
        }
        converter.Reset();
    }
    // Converted or not, the job ends as an abort ends it.
    static_cast<void>(Abort()); // the conversion's status is what is reported
    return status;
}

PluginStatus ExifPlugin::Abort()
{
    BindSettings();
    // Not this caller's job to end. Its own calls were refused before they
    // stored anything, so nothing of its is left to discard, and the refusal
    // that led its host here has told the user already.
    const JobOwner owner(settings, job);
    if (owner.HeldByAnother()) {
        return StatusOk;
    }
    static_cast<void>(BmpSpoolPlugin::Abort()); // an abort always ends the job
    settings.DeleteValue("Palette Num");
    settings.DeleteValue("Palette");
    owner.Drop();
    return StatusOk;
}

} // namespace vlexif
