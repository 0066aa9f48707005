#include "bench/spool/SpoolJobs.h"

#include "pixels/PixelFormat.h"
#include "pixels/RowConverters.h"
#include "pixels/RowExpansion.h"
#include "scanjob/ExifPlugin.h"
#include "spool/AppendZeros.h"
#include "spool/BmpHeaderBuilder.h"
#include "spool/SpoolName.h"

#include <algorithm>
#include <cstring>

namespace vlexif::bench {

namespace {

constexpr uint32_t ExpandedBits = 24;
using Palette = const PaletteEntry (&)[PaletteCapacity];

} // namespace

const ImageKind Rgb24{"rgb24", 24, 3, ColourRgb, 0, [](const HostBlock& b, Palette, uint8_t* r, uint32_t s) {
                          SwapRgb24Rows(b, RowStride(static_cast<uint32_t>(b.width), 24), r, s);
                      }};
const ImageKind Gray8{"gray8", 8,
                      1,       ColourGray,
                      0,       [](const HostBlock& b, Palette, uint8_t* r, uint32_t s) { ExpandGray8Rows(b, r, s); }};
const ImageKind Indexed8{"indexed8", 8, 1, ColourIndexed, 256, ExpandIndexed8Rows};
const ImageKind Bilevel{"bilevel", 1, 1, ColourBilevel, 2, Expand1BitRows};

namespace {

std::vector<uint8_t> NoiseBytes(size_t count)
{
    std::vector<uint8_t> bytes(count);
    uint32_t state = 0x12345678;
    for (uint8_t& byte : bytes) {
        state = state * 1664525 + 1013904223;
        byte = static_cast<uint8_t>(state >> 24);
    }
    return bytes;
}

// The replay's registry access is the plug-in's: the key opened for each value
// and closed again. An absent value only fails the read, as in the plug-in.
bool ReadValue(const std::string& keyPath, const char* name, void* buffer, DWORD capacity)
{
    HKEY key = nullptr;
    Expect(RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS,
           "cannot open " + keyPath);
    const LONG result = RegQueryValueExA(key, name, nullptr, nullptr, static_cast<BYTE*>(buffer), &capacity);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

// The values a block reads besides "TempFile". (a) reads the format, and the
// palette of a palette format. The plug-in reads the format twice and
// "File Type" on the RGB path, and the palette for every expansion, grey too.
std::vector<const char*> BlockReads(const ImageKind& kind, bool pluginReads)
{
    if (pluginReads && IsRgbFormat(ClassifyPixels(kind.bitsPerPixel, kind.samplesPerPixel, kind.colourType, 0))) {
        return {"ImageFormat", "File Type", "ImageFormat"};
    }
    if (pluginReads || kind.paletteCount != 0) {
        return {"ImageFormat", "Palette Num", "Palette"};
    }
    return {"ImageFormat"};
}

void WriteValue(const std::string& keyPath, const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY key = nullptr;
    Expect(RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS,
           "cannot open " + keyPath);
    const LONG result = RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    Expect(result == ERROR_SUCCESS, std::string("cannot write ") + name);
}

uint8_t* LockedBlock(uint32_t bytes)
{
    HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    Expect(handle != nullptr, "GlobalAlloc");
    void* address = GlobalLock(handle);
    Expect(address != nullptr, "GlobalLock");
    return static_cast<uint8_t*>(address);
}

void ReleaseBlock(uint8_t* address)
{
    HGLOBAL handle = GlobalHandle(address);
    GlobalUnlock(handle);
    GlobalFree(handle);
}

void WriteAll(HANDLE file, const void* data, DWORD bytes)
{
    DWORD written = 0;
    Expect(WriteFile(file, data, bytes, &written, nullptr) && written == bytes, "WriteFile");
}

// The spool file's folder, as the plug-in asks about it.
void QueryFreeSpace(const char* path)
{
    std::string folder(path);
    folder.erase(folder.rfind('\\') + 1);
    ULARGE_INTEGER available;
    Expect(GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr) != 0, "GetDiskFreeSpaceExA");
}

void NewTempName(char (&path)[MAX_PATH])
{
    Expect(GetTempPathA(MAX_PATH, path) != 0 && GetTempFileNameA(path, SpoolNamePrefix, 0, path) != 0,
           "no temporary file name");
}

template <class PlaceBlock>
void ForEachBlock(int32_t height, int32_t blockLines, PlaceBlock place)
{
    for (int32_t before = 0; before < height; before += blockLines) {
        place(before, std::min(blockLines, height - before));
    }
}

} // namespace

SpoolJob::SpoolJob(const ImageKind& kind, int32_t width, int32_t height, int32_t blockLines,
                   const test::TestRegistryKey& key)
    : kind(kind),
      width(width),
      height(height),
      blockLines(blockLines),
      key(key),
      sourceBytesPerLine(static_cast<int32_t>(RowStride(static_cast<uint32_t>(width), kind.bitsPerPixel))),
      outputStride(RowStride(static_cast<uint32_t>(width), ExpandedBits)),
      source(NoiseBytes(static_cast<size_t>(sourceBytesPerLine) * static_cast<size_t>(blockLines))),
      rows(NoiseBytes(static_cast<size_t>(outputStride) * static_cast<size_t>(blockLines)))
{
    host.SetRegistry(key);
    for (uint32_t i = 0; i < kind.paletteCount; ++i) {
        const uint8_t entry[4] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                                  static_cast<uint8_t>(i * 3)};
        hostPalette.insert(hostPalette.end(), entry, entry + 4);
    }
    PlaceHostEntries(hostPalette.data(), kind.paletteCount, palette);
}

uint32_t SpoolJob::PixelAreaSize() const
{
    return outputStride * static_cast<uint32_t>(height);
}

int64_t SpoolJob::ExpectedFileSize() const
{
    return int64_t{HeaderBlockSize} + PixelAreaSize();
}

void SpoolJob::Prepare() const
{
    key.DeleteExif();
    key.SetDword("File Type", 0);
    key.SetDword("ImageFormat", ClassifyPixels(kind.bitsPerPixel, kind.samplesPerPixel, kind.colourType, 0));
}

double SpoolJob::ThroughPlugin()
{
    Prepare();
    ExifPlugin plugin;
    host.DescribeImage(600, width, height, kind.samplesPerPixel, kind.bitsPerPixel, kind.colourType);
    Stopwatch clock;
    plugin.BindHost(&host.params);
    Expect(plugin.BeginImage() == StatusOk, "BeginImage failed");
    double seconds = clock.Seconds();
    // The host offers the palette between the image and its blocks; not timed.
    if (kind.paletteCount != 0) {
        host.SetPalette(hostPalette, kind.paletteCount);
        plugin.BindHost(&host.params);
        Expect(plugin.SetPalette() == StatusOk, "SetPalette failed");
    }
    clock.Restart();
    ForEachBlock(height, blockLines, [&](int32_t before, int32_t lines) {
        host.SetBlock(sourceBytesPerLine, width, lines, before, source.data());
        plugin.BindHost(&host.params);
        Expect(plugin.WriteBlock() == StatusOk, "WriteBlock failed");
    });
    seconds += clock.Seconds();
    Expect(FileSize(plugin.TempPath()) == ExpectedFileSize(), "the plug-in's spool file has the wrong size");
    plugin.BindHost(&host.params);
    Expect(plugin.Abort() == StatusOk, "Abort failed");
    key.DeleteExif();
    return seconds;
}

double SpoolJob::Replay(ReplayExtras extras)
{
    Prepare();
    const std::string exif = key.ExifPath();
    if (kind.paletteCount != 0) {
        key.SetDword("Palette Num", kind.paletteCount);
        key.SetBinary("Palette", hostPalette);
    }
    char path[MAX_PATH];
    Stopwatch clock;
    // BeginImage: the header block, the new file, free space, header, pre-fill.
    uint8_t* header = LockedBlock(HeaderBlockSize);
    NewTempName(path);
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED, nullptr);
    Expect(file != INVALID_HANDLE_VALUE, "cannot create the replay's file");
    QueryFreeSpace(path);
    WriteAll(file, header, bmp::InfoHeadSize);
    for (uint32_t remaining = PixelAreaSize(); remaining > 0;) {
        const uint32_t chunk = std::min(remaining, PrefillChunkSize);
        uint8_t* zeros = LockedBlock(chunk);
        WriteAll(file, zeros, chunk);
        ReleaseBlock(zeros);
        remaining -= chunk;
    }
    ReleaseBlock(header);
    CloseHandle(file);
    WriteValue(exif, "TempFile", REG_SZ, path, static_cast<DWORD>(std::strlen(path) + 1));
    uint32_t count = 0;
    WriteValue(exif, "LoopCount", REG_DWORD, &count, sizeof count);
    // Each block: its values, the file opened at its end, the rows, one seek
    // back and one write, the file closed and the count stored.
    const std::vector<const char*> reads = BlockReads(kind, extras.pluginReads);
    ForEachBlock(height, blockLines, [&](int32_t before, int32_t lines) {
        for (const char* name : reads) {
            uint8_t value[4 * PaletteCapacity];
            ReadValue(exif, name, value, sizeof value);
        }
        char stored[MAX_PATH];
        Expect(ReadValue(exif, "TempFile", stored, sizeof stored), "cannot read TempFile");
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        HANDLE spool = CreateFileA(stored, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
        Expect(spool != INVALID_HANDLE_VALUE, "cannot open the replay's file");
        SetFilePointerEx(spool, {}, nullptr, FILE_END);
        const uint32_t bytes = static_cast<uint32_t>(lines) * outputStride;
        uint8_t* block = LockedBlock(bytes);
        if (extras.realRows) {
            const HostBlock hostBlock{source.data(), sourceBytesPerLine, width, lines, before};
            kind.fillRows(hostBlock, palette, block, outputStride);
        } else {
            std::memcpy(block, rows.data(), bytes);
        }
        LARGE_INTEGER fromEnd;
        fromEnd.QuadPart = -static_cast<int64_t>(uint64_t{static_cast<uint32_t>(before + lines)} * outputStride);
        Expect(SetFilePointerEx(spool, fromEnd, nullptr, FILE_END), "SetFilePointerEx");
        WriteAll(spool, block, bytes);
        CloseHandle(spool);
        ReleaseBlock(block);
        ++count;
        WriteValue(exif, "LoopCount", REG_DWORD, &count, sizeof count);
    });
    const double seconds = clock.Seconds();
    Expect(FileSize(path) == ExpectedFileSize(), "the replay's file has the wrong size");
    DeleteFileA(path);
    key.DeleteExif();
    return seconds;
}

double SpoolJob::PlainWrite()
{
    char path[MAX_PATH];
    NewTempName(path);
    Stopwatch clock;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    Expect(file != INVALID_HANDLE_VALUE, "cannot create the plain file");
    const uint8_t header[HeaderBlockSize] = {};
    WriteAll(file, header, sizeof header);
    ForEachBlock(height, blockLines, [&](int32_t, int32_t lines) {
        WriteAll(file, rows.data(), static_cast<uint32_t>(lines) * outputStride);
    });
    CloseHandle(file);
    const double seconds = clock.Seconds();
    Expect(FileSize(path) == ExpectedFileSize(), "the plain file has the wrong size");
    DeleteFileA(path);
    return seconds;
}

} // namespace vlexif::bench
