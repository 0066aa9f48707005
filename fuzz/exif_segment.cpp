// The EXIF segment the converter writes, from a job record and version text
// with arbitrary bytes, from any resolution and with or without a thumbnail
// of any size up to its room: it must be a well-formed little-endian TIFF
// stream whose entries point inside it, and small enough for one JPEG APP1
// segment.
#include "converter/exif/ExifSegment.h"
#include "converter/exif/Resolution.h"
#include "converter/files/Destination.h"
#include "fuzz/HostValues.h"

#include <cstring>

namespace vlexif::fuzz {
namespace {

uint16_t U16(const std::vector<uint8_t>& s, size_t at)
{
    return static_cast<uint16_t>(s[at] | s[at + 1] << 8);
}

uint32_t U32(const std::vector<uint8_t>& s, size_t at)
{
    return U16(s, at) | static_cast<uint32_t>(U16(s, at + 2)) << 16;
}

size_t TypeSize(uint16_t type)
{
    switch (type) {
    case 2:
    case 7:
        return 1;
    case 3:
        return 2;
    case 4:
        return 4;
    case 5:
        return 8;
    default:
        return 0;
    }
}

struct Directory {
    uint32_t exifIfd = 0;
    uint32_t thumbnailAt = 0;
    uint32_t thumbnailSize = 0;
    uint32_t next = 0;
};

// Walks one directory and the offsets it holds.
Directory CheckDirectory(const std::vector<uint8_t>& segment, size_t tiff, uint32_t offset)
{
    const size_t tiffSize = segment.size() - tiff;
    Require(offset % 2 == 0 && offset + 2 <= tiffSize, "a directory starts on an even offset inside");
    const uint16_t count = U16(segment, tiff + offset);
    Require(offset + 2 + 12 * size_t{count} + 4 <= tiffSize, "a directory's entries lie inside");
    Directory directory;
    uint16_t previous = 0;
    for (uint16_t i = 0; i < count; ++i) {
        const size_t at = tiff + offset + 2 + 12 * size_t{i};
        const uint16_t tag = U16(segment, at);
        Require(i == 0 || tag > previous, "tags ascend");
        previous = tag;
        const size_t typeSize = TypeSize(U16(segment, at + 2));
        Require(typeSize != 0, "a known type");
        const size_t bytes = typeSize * U32(segment, at + 4);
        const uint32_t valueAt = U32(segment, at + 8);
        Require(bytes <= 4 || (valueAt % 2 == 0 && valueAt + bytes <= tiffSize), "a value lies inside");
        const uint8_t* value = bytes <= 4 ? &segment[at + 8] : &segment[tiff + valueAt];
        if (U16(segment, at + 2) == 2) {
            Require(bytes > 0 && value[bytes - 1] == '\0', "an ASCII value ends in NUL");
        }
        if (tag == 0x8769) {
            directory.exifIfd = valueAt;
        } else if (tag == 0x0201) {
            directory.thumbnailAt = valueAt;
        } else if (tag == 0x0202) {
            directory.thumbnailSize = valueAt;
        }
    }
    directory.next = U32(segment, tiff + offset + 2 + 12 * size_t{count});
    return directory;
}

} // namespace
} // namespace vlexif::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace vkexf;
    using namespace vlexif::fuzz;
    FuzzedDataProvider in(data, size);
    const uint32_t xDpi = DotsPerInch(in.ConsumeIntegral<int32_t>());
    const uint32_t yDpi = DotsPerInch(in.ConsumeIntegral<int32_t>());
    Require(xDpi >= 1 && xDpi <= 65535 && yDpi >= 1 && yDpi <= 65535, "a resolution JFIF can hold");

    const auto record = ExactBlock(in, sizeof(JobDestination));
    Destination destination;
    ExifFields fields;
    if (ReadDestination(reinterpret_cast<const JobDestination*>(record.get()), destination)) {
        fields.make = destination.make;
        fields.model = destination.model;
    }
    const std::string version = in.ConsumeRandomLengthString(1000);
    fields.software = version.c_str();
    ExifDateTime(in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>(),
                 in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>(), fields.dateTime);
    fields.xDpi = xDpi;
    fields.yDpi = yDpi;
    fields.width = in.ConsumeIntegral<uint32_t>();
    fields.height = in.ConsumeIntegral<uint32_t>();
    fields.grey = in.ConsumeBool();

    const size_t room = ExifThumbnailRoom(fields);
    Require(room >= 60000, "room for a thumbnail besides the longest texts");
    const auto thumbnailBytes = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, room));
    ExifThumbnail thumbnail;
    thumbnail.jpeg = thumbnailBytes.data();
    thumbnail.size = thumbnailBytes.size();
    thumbnail.width = in.ConsumeIntegralInRange<uint32_t>(1, 160);
    thumbnail.height = in.ConsumeIntegralInRange<uint32_t>(1, 120);

    static uint8_t buffer[MaxExifSegmentBytes];
    ExifSegment built;
    built.bytes = buffer;
    Require(BuildExifSegment(fields, thumbnail, built), "the segment is built");
    const std::vector<uint8_t> segment(built.bytes, built.bytes + built.size);
    // The APP1 length field counts itself: at most 65533 bytes of payload.
    Require(segment.size() <= 65533, "fits one APP1 segment");
    Require(segment.size() >= 14 && std::memcmp(segment.data(), "Exif\0\0II*\0", 10) == 0, "Exif and TIFF headers");
    const Directory ifd0 = CheckDirectory(segment, 6, U32(segment, 10));
    Require(ifd0.exifIfd != 0, "IFD0 points at the Exif IFD");
    const Directory exif = CheckDirectory(segment, 6, ifd0.exifIfd);
    Require(exif.next == 0, "the Exif IFD links nowhere");
    Require((ifd0.next != 0) == !thumbnailBytes.empty(), "IFD1 exactly when there is a thumbnail");
    if (ifd0.next != 0) {
        const Directory ifd1 = CheckDirectory(segment, 6, ifd0.next);
        Require(ifd1.next == 0 && ifd1.thumbnailSize == thumbnailBytes.size(), "IFD1 gives the thumbnail's size");
        Require(size_t{ifd1.thumbnailAt} + 6 + ifd1.thumbnailSize == segment.size() &&
                    std::memcmp(&segment[6 + ifd1.thumbnailAt], thumbnailBytes.data(), thumbnailBytes.size()) == 0,
                "IFD1 points at the thumbnail, last in the segment");
    }
    return 0;
}
