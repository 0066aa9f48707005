// The binary interface between the scanning host and the plug-in: the three
// host records at their fixed offsets, the command codes and the status codes.
// The host is a 32-bit Windows program; every address in its records is 32 bits.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace vlexif {

enum PluginCommand : int16_t {
    CmdDescribe = 0,
    CmdConfigure = 1,
    CmdCheckFormat = 2,
    CmdSetPalette = 3,
    CmdBeginImage = 4,
    CmdWriteBlock = 5,
    CmdFinish = 6,
    CmdAbort = 7,
    CmdAbout = 8,
};

// What every command and every step of one returns: a result left unread is a
// failure lost.
enum [[nodiscard]] PluginStatus : uint16_t{
    StatusOk = 0,
    StatusDiskFull = 201,
    StatusCreateFailed = 202,
    StatusOpenFailed = 203,
    StatusWriteFailed = 205,
    StatusCloseFailed = 206,
    StatusDeleteFailed = 207,
    StatusSeekFailed = 208,
    StatusBadFormat = 209,
    StatusBadCommand = 211,
    StatusNoResources = 213,
    StatusNoConverter = 0xFFFE,
    StatusNoMemory = 0xFFFF,
};

enum ColourType : uint32_t {
    ColourBilevel = 0,
    ColourGray = 1,
    ColourRgb = 2,
    ColourIndexed = 3,
};

#pragma pack(push, 1)

// The host's registry location: taken over whole by the settings store.
struct RegistryLocation {
    char keyPath[256];
    HKEY root;
};

struct ImageRecord;

struct JobRecord {
    uint8_t hostOwned0[0x104];
    char shortText[8];     // 0x104, written by describe
    ImageRecord* image;    // 0x10C
    uint8_t firstJobFlag;  // 0x110, written by describe
    uint8_t secondJobFlag; // 0x111, written by describe
};

struct HostParams {
    uint8_t hostOwned0[0x40];
    char displayText1[32];     // 0x040
    char displayText2[32];     // 0x060
    uint8_t describeFlag;      // 0x080
    char summaryText[263];     // 0x081 .. 0x187
    RegistryLocation registry; // 0x188 .. 0x28B
    HWND owner;                // 0x28C
    uint8_t hostOwned1[4];     // 0x290
    JobRecord* job;            // 0x294
};

// The image record, read through whichever view the current command brings.
struct ImageDescription {
    uint32_t xDpi;            // 0x00
    uint32_t yDpi;            // 0x04
    int32_t width;            // 0x08
    int32_t height;           // 0x0C
    uint32_t samplesPerPixel; // 0x10
    uint8_t hostOwned0[0x10];
    uint32_t bitsPerPixel; // 0x24
    uint8_t hostOwned1[4];
    uint32_t colourType; // 0x2C
    uint32_t mustBeZero; // 0x30
};

struct HostPaletteEntry {
    uint8_t index;
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};

struct PaletteView {
    uint16_t count; // 0x00
    uint8_t hostOwned0[6];
    HostPaletteEntry entries[1]; // 0x08, count entries
};

struct BlockView {
    uint8_t hostOwned0[4];
    int32_t bytesPerLine; // 0x04
    int32_t width;        // 0x08
    int32_t lines;        // 0x0C
    uint8_t hostOwned1[4];
    int32_t linesBefore; // 0x14
    uint8_t hostOwned2[4];
    const uint8_t* data; // 0x1C
};

#pragma pack(pop)

static_assert(sizeof(void*) == 4, "the host interface is 32-bit");
static_assert(offsetof(HostParams, displayText1) == 0x040);
static_assert(offsetof(HostParams, displayText2) == 0x060);
static_assert(offsetof(HostParams, describeFlag) == 0x080);
static_assert(offsetof(HostParams, summaryText) == 0x081);
static_assert(offsetof(HostParams, registry) == 0x188);
static_assert(offsetof(HostParams, registry.root) == 0x288);
static_assert(offsetof(HostParams, owner) == 0x28C);
static_assert(offsetof(HostParams, job) == 0x294);
static_assert(sizeof(RegistryLocation) == 260);
static_assert(offsetof(JobRecord, shortText) == 0x104);
static_assert(offsetof(JobRecord, image) == 0x10C);
static_assert(offsetof(JobRecord, firstJobFlag) == 0x110);
static_assert(offsetof(JobRecord, secondJobFlag) == 0x111);
static_assert(offsetof(ImageDescription, width) == 0x08);
static_assert(offsetof(ImageDescription, samplesPerPixel) == 0x10);
static_assert(offsetof(ImageDescription, bitsPerPixel) == 0x24);
static_assert(offsetof(ImageDescription, colourType) == 0x2C);
static_assert(offsetof(ImageDescription, mustBeZero) == 0x30);
static_assert(offsetof(PaletteView, entries) == 0x08);
static_assert(sizeof(HostPaletteEntry) == 4);
static_assert(offsetof(BlockView, bytesPerLine) == 0x04);
static_assert(offsetof(BlockView, lines) == 0x0C);
static_assert(offsetof(BlockView, linesBefore) == 0x14);
static_assert(offsetof(BlockView, data) == 0x1C);

// Reads the image record through one of its views.
inline const ImageDescription& DescriptionView(const ImageRecord* record)
{
    return *reinterpret_cast<const ImageDescription*>(record);
}
inline const PaletteView& PaletteViewOf(const ImageRecord* record)
{
    return *reinterpret_cast<const PaletteView*>(record);
}
inline const BlockView& BlockViewOf(const ImageRecord* record)
{
    return *reinterpret_cast<const BlockView*>(record);
}

// The plug-in's one export, as a host looks it up.
using VLScanEntryProc = uint32_t(__cdecl*)(uint32_t command, HostParams* params);
constexpr char VLScanEntryName[] = "VLScanEntry";

// The version text handed to the converter with every finished job.
constexpr char ConverterVersionText[] = "VARLO EXIF Plug-in Version 1.00E";

} // namespace vlexif
