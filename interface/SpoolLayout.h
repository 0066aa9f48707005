// The spool file the plug-in writes and the converter reads: a BMP with a
// file header, then an info header (or, when the host's "File Type" asks for
// it, a core header), then the palette area, then the rows bottom-up, each
// padded to 4 bytes. The structs are the headers byte for byte; they are
// copied to and from the file as they stand, since the file's fields are
// little-endian like every machine these are built for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the headers are copied as they stand");

namespace bmp {

#pragma pack(push, 1)
struct FileHeader {           // BITMAPFILEHEADER
    uint16_t signature;       // "BM"
    uint32_t fileSize;        // the whole file: headers, palette area and rows (SizeField)
    uint16_t reserved1;       // 0
    uint16_t reserved2;       // 0
    uint32_t pixelDataOffset; // where the bottom row starts
};

struct InfoHeader {      // BITMAPINFOHEADER
    uint32_t headerSize; // InfoHeaderSize: tells the two layouts apart
    int32_t width;
    int32_t height;       // positive: bottom-up
    uint16_t planes;      // Planes
    uint16_t bitCount;    // bits per pixel
    uint32_t compression; // Uncompressed
    uint32_t imageSize;   // bytes of the rows (SizeField)
    int32_t xPixelsPerMetre;
    int32_t yPixelsPerMetre;
    uint32_t coloursUsed; // palette entries
    uint32_t coloursImportant;
};

struct CoreHeader {      // BITMAPCOREHEADER: no resolution, no palette count
    uint32_t headerSize; // CoreHeaderSize
    uint16_t width;
    uint16_t height; // always bottom-up
    uint16_t planes; // Planes
    uint16_t bitCount;
};

// The head of the file in either layout.
struct InfoHead {
    FileHeader file;
    InfoHeader info;
};
struct CoreHead {
    FileHeader file;
    CoreHeader core;
};

// Palette entries after an info header (RGBQUAD) and after a core header (RGBTRIPLE).
struct InfoPaletteEntry {
    uint8_t blue, green, red, reserved;
};
struct CorePaletteEntry {
    uint8_t blue, green, red;
};
#pragma pack(pop)

static_assert(offsetof(FileHeader, signature) == 0);
static_assert(offsetof(FileHeader, fileSize) == 2);
static_assert(offsetof(FileHeader, reserved1) == 6);
static_assert(offsetof(FileHeader, reserved2) == 8);
static_assert(offsetof(FileHeader, pixelDataOffset) == 10);
static_assert(sizeof(FileHeader) == 14);

static_assert(offsetof(InfoHeader, headerSize) == 0);
static_assert(offsetof(InfoHeader, width) == 4);
static_assert(offsetof(InfoHeader, height) == 8);
static_assert(offsetof(InfoHeader, planes) == 12);
static_assert(offsetof(InfoHeader, bitCount) == 14);
static_assert(offsetof(InfoHeader, compression) == 16);
static_assert(offsetof(InfoHeader, imageSize) == 20);
static_assert(offsetof(InfoHeader, xPixelsPerMetre) == 24);
static_assert(offsetof(InfoHeader, yPixelsPerMetre) == 28);
static_assert(offsetof(InfoHeader, coloursUsed) == 32);
static_assert(offsetof(InfoHeader, coloursImportant) == 36);
static_assert(sizeof(InfoHeader) == 40);

static_assert(offsetof(CoreHeader, headerSize) == 0);
static_assert(offsetof(CoreHeader, width) == 4);
static_assert(offsetof(CoreHeader, height) == 6);
static_assert(offsetof(CoreHeader, planes) == 8);
static_assert(offsetof(CoreHeader, bitCount) == 10);
static_assert(sizeof(CoreHeader) == 12);

static_assert(offsetof(InfoHead, info) == 14 && sizeof(InfoHead) == 54);
static_assert(offsetof(CoreHead, core) == 14 && sizeof(CoreHead) == 26);

static_assert(offsetof(InfoPaletteEntry, blue) == 0 && offsetof(InfoPaletteEntry, green) == 1 &&
              offsetof(InfoPaletteEntry, red) == 2 && offsetof(InfoPaletteEntry, reserved) == 3);
static_assert(sizeof(InfoPaletteEntry) == 4);
static_assert(offsetof(CorePaletteEntry, blue) == 0 && offsetof(CorePaletteEntry, green) == 1 &&
              offsetof(CorePaletteEntry, red) == 2);
static_assert(sizeof(CorePaletteEntry) == 3);

constexpr uint16_t Signature = 'B' | 'M' << 8;
constexpr uint32_t FileHeaderSize = sizeof(FileHeader);
constexpr uint32_t InfoHeaderSize = sizeof(InfoHeader);
constexpr uint32_t CoreHeaderSize = sizeof(CoreHeader);
constexpr uint32_t InfoHeadSize = sizeof(InfoHead);
constexpr uint32_t CoreHeadSize = sizeof(CoreHead);
constexpr uint32_t InfoPaletteEntrySize = sizeof(InfoPaletteEntry);
constexpr uint32_t CorePaletteEntrySize = sizeof(CorePaletteEntry);
constexpr uint16_t Planes = 1;
constexpr uint32_t Uncompressed = 0; // BI_RGB
// Blue, green, red a pixel: the only depth the converter reads.
constexpr uint16_t TrueColourBits = 24;

// Bytes of one row: the row's bits packed into bytes, padded to 4 bytes,
// formed in 64 bits so that checks on host values never see a wrapped stride.
constexpr uint64_t WideRowStride(uint64_t width, uint32_t bitsPerPixel)
{
    return ((width * bitsPerPixel + 31) >> 3) & ~uint64_t{3};
}
// The same cut to 32 bits, for rows already known to fit.
constexpr uint32_t RowStride(uint32_t width, uint32_t bitsPerPixel)
{
    return static_cast<uint32_t>(WideRowStride(width, bitsPerPixel));
}

// A size as the header's 32-bit fields state it: exactly when it fits, else
// 0. BI_RGB rows need no stated image size, and a file size of 0 is what
// readers meet in every BMP past 4 GiB; both follow from the dimensions.
constexpr uint32_t SizeField(uint64_t bytes)
{
    return bytes <= UINT32_MAX ? static_cast<uint32_t>(bytes) : 0;
}

// A header, or one field, as it stands in the file's bytes at `at`.
template <class Header>
Header Read(const uint8_t* at)
{
    Header header;
    std::memcpy(&header, at, sizeof header);
    return header;
}
template <class Header>
void Write(const Header& header, uint8_t* at)
{
    std::memcpy(at, &header, sizeof header);
}

} // namespace bmp
