#include "converter/exif/ExifSegment.h"
#include "converter/exif/TiffIfd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace vkexf {
namespace {

uint32_t Le(const std::string& bytes, size_t at, size_t size)
{
    uint32_t n = 0;
    for (size_t i = size; i-- > 0;) {
        n = n << 8 | static_cast<uint8_t>(bytes.at(at + i)); // at(): offsets must stay inside
    }
    return n;
}

struct Entry {
    uint16_t type;
    uint32_t offset; // of the value, inside the entry when it fits there
    std::string value;
};

struct Ifd {
    std::vector<uint16_t> tags; // in stored order
    std::map<uint16_t, Entry> entries;
    uint32_t next;

    const std::string& Value(uint16_t tag) const { return entries.at(tag).value; }
    uint32_t Number(uint16_t tag) const { return Le(Value(tag), 0, Value(tag).size()); }
};

// A tiny TIFF reader: follows each offset the way a JPEG reader would.
Ifd ReadIfd(const std::string& tiff, uint32_t at)
{
    Ifd ifd;
    const uint32_t count = Le(tiff, at, 2);
    for (uint32_t i = 0; i < count; ++i) {
        const size_t e = at + 2 + 12 * i;
        const auto type = static_cast<uint16_t>(Le(tiff, e + 2, 2));
        const size_t typeSize = type == 3 ? 2 : type == 4 ? 4 : type == 5 ? 8 : 1;
        const size_t bytes = typeSize * Le(tiff, e + 4, 4);
        const uint32_t offset = bytes <= 4 ? static_cast<uint32_t>(e + 8) : Le(tiff, e + 8, 4);
        ifd.tags.push_back(static_cast<uint16_t>(Le(tiff, e, 2)));
        ifd.entries[ifd.tags.back()] = Entry{type, offset, tiff.substr(offset, bytes)};
        EXPECT_EQ(ifd.entries[ifd.tags.back()].value.size(), bytes) << "value past the end";
    }
    ifd.next = Le(tiff, at + 2 + 12 * count, 4);
    return ifd;
}

std::string Tiff(const ExifFields& fields, const ExifThumbnail& thumbnail = {})
{
    static uint8_t buffer[MaxExifSegmentBytes];
    ExifSegment segment;
    segment.bytes = buffer;
    EXPECT_TRUE(BuildExifSegment(fields, thumbnail, segment));
    EXPECT_LE(segment.size, 65533u) << "must fit one marker";
    const std::string bytes(reinterpret_cast<const char*>(segment.bytes), segment.size);
    EXPECT_EQ(bytes.substr(0, 10), std::string("Exif\0\0II*\0", 10));
    return bytes.substr(6);
}

const ExifFields Sample{"Varlo", "VS-400", "Plug-in 1.00E", "2024:03:07 09:05:02", 300, 600, 4960, 70160};

TEST(ExifSegment, ValuesReadBackFromAWellFormedLayout)
{
    const std::string tiff = Tiff(Sample);
    const Ifd ifd0 = ReadIfd(tiff, Le(tiff, 4, 4));
    EXPECT_EQ(ifd0.Value(0x010F), std::string("Varlo\0", 6));
    EXPECT_EQ(ifd0.Value(0x0110), std::string("VS-400\0", 7));
    EXPECT_EQ(ifd0.Number(0x0112), 1u);
    EXPECT_EQ(ifd0.Value(0x011A), std::string("\x2C\1\0\0\1\0\0\0", 8)); // 300/1
    EXPECT_EQ(ifd0.Value(0x011B), std::string("\x58\2\0\0\1\0\0\0", 8)); // 600/1
    EXPECT_EQ(ifd0.entries.at(0x011A).type, 5) << "RATIONAL";
    EXPECT_EQ(ifd0.Number(0x0128), 2u);
    EXPECT_EQ(ifd0.Value(0x0131), std::string("Plug-in 1.00E\0", 14));
    EXPECT_EQ(ifd0.Value(0x0132), std::string("2024:03:07 09:05:02\0", 20));
    EXPECT_EQ(ifd0.Number(0x0213), 1u);
    EXPECT_EQ(ifd0.next, 0u) << "no IFD1";

    const Ifd exif = ReadIfd(tiff, ifd0.Number(0x8769));
    EXPECT_EQ(exif.Value(0x9000), "0232");
    EXPECT_EQ(exif.Value(0x9003), ifd0.Value(0x0132));
    EXPECT_EQ(exif.Value(0x9004), ifd0.Value(0x0132));
    EXPECT_EQ(exif.Value(0x9101), std::string("\1\2\3\0", 4));
    EXPECT_EQ(exif.Value(0xA000), "0100");
    EXPECT_EQ(exif.Number(0xA001), 1u);
    EXPECT_EQ(exif.entries.at(0xA002).type, 4) << "LONG";
    EXPECT_EQ(exif.Number(0xA002), 4960u);
    EXPECT_EQ(exif.Number(0xA003), 70160u);

    EXPECT_EQ(ifd0.tags.size(), 10u);
    EXPECT_EQ(exif.tags.size(), 8u);
    for (const Ifd* ifd : {&ifd0, &exif}) {
        EXPECT_TRUE(std::adjacent_find(ifd->tags.begin(), ifd->tags.end(), std::greater_equal<>()) == ifd->tags.end())
            << "tags strictly ascending";
        for (const auto& [tag, entry] : ifd->entries) {
            EXPECT_EQ(entry.offset % 2, 0u) << "tag " << tag << " on a word boundary";
        }
    }
}

// IFD0 links to IFD1, which names the thumbnail's bytes at the segment's
// end and the thumbnail's own resolution: the page's, scaled with it.
TEST(ExifSegment, ThumbnailInIfd1AndGreyComponents)
{
    ExifFields fields = Sample; // 4960 x 70160 at 300 x 600 dpi
    fields.grey = true;
    const std::string jpeg = "\xFF\xD8 a thumbnail \xFF\xD9";
    const ExifThumbnail thumbnail{reinterpret_cast<const uint8_t*>(jpeg.data()), jpeg.size(), 11, 120};
    const std::string tiff = Tiff(fields, thumbnail);
    EXPECT_EQ(tiff.size() + 6, MaxExifSegmentBytes - ExifThumbnailRoom(fields) + jpeg.size());
    const Ifd ifd0 = ReadIfd(tiff, 8);
    EXPECT_EQ(ReadIfd(tiff, ifd0.Number(0x8769)).Value(0x9101), std::string("\1\0\0\0", 4));
    EXPECT_EQ(ReadIfd(tiff, ifd0.Number(0x8769)).next, 0u);
    ASSERT_NE(ifd0.next, 0u);
    const Ifd ifd1 = ReadIfd(tiff, ifd0.next);
    EXPECT_EQ(ifd1.tags, (std::vector<uint16_t>{0x0103, 0x011A, 0x011B, 0x0128, 0x0201, 0x0202}));
    EXPECT_EQ(ifd1.Number(0x0103), 6u);
    EXPECT_EQ(ifd1.Value(0x011A), std::string("\xA5\0\0\0\xF8\0\0\0", 8)) << "300 * 11 / 4960 = 165/248";
    EXPECT_EQ(ifd1.Value(0x011B), std::string("\x84\3\0\0\x6D\3\0\0", 8)) << "600 * 120 / 70160 = 900/877";
    EXPECT_EQ(ifd1.Number(0x0128), 2u);
    EXPECT_EQ(ifd1.next, 0u);
    EXPECT_EQ(tiff.substr(ifd1.Number(0x0201)), jpeg) << "the thumbnail, last";
    EXPECT_EQ(ifd1.Number(0x0202), jpeg.size());

    const ExifThumbnail tooLarge{thumbnail.jpeg, ExifThumbnailRoom(fields) + 1, 11, 120};
    uint8_t buffer[MaxExifSegmentBytes];
    ExifSegment segment{buffer};
    EXPECT_FALSE(BuildExifSegment(fields, tooLarge, segment));
    EXPECT_EQ(segment.size, 0u);
}

TEST(ExifSegment, OptionalTextsAndLimits)
{
    ExifFields fields = Sample;
    fields.make = "";
    fields.model = "Abc"; // four bytes with its NUL: kept in the entry itself
    const std::string longText(100000, 's');
    fields.software = longText.c_str();
    std::string tiff = Tiff(fields);
    Ifd ifd0 = ReadIfd(tiff, 8);
    EXPECT_FALSE(ifd0.entries.count(0x010F));
    EXPECT_EQ(ifd0.entries.at(0x0110).offset, 8u + 2 + 8);
    EXPECT_EQ(ifd0.Value(0x0131), std::string(MaxSoftwareText, 's') + '\0');

    fields.software = nullptr;
    fields.make = longText.c_str(); // no NUL within the job record's field
    tiff = Tiff(fields);
    ifd0 = ReadIfd(tiff, 8);
    EXPECT_FALSE(ifd0.entries.count(0x0131));
    EXPECT_EQ(ifd0.Value(0x010F), std::string(MaxScannerText, 's') + '\0');
}

// In a double-byte code page no text is cut inside a character: not at the
// software's bound, nor at the end of a full make field ending in a lead byte.
TEST(ExifSegment, TextsAreCutBeforeAWholeCharacter)
{
    constexpr uint8_t Ranges932[] = {0x81, 0x9F, 0xE0, 0xFC, 0, 0};
    ExifFields fields = Sample;
    fields.leadBytes = vlexif::LeadBytes(Ranges932, sizeof Ranges932);
    const std::string software = std::string(MaxSoftwareText - 1, 's') + "\x95\x5C";
    const std::string make = std::string(MaxScannerText - 1, 'm') + "\x95";
    fields.software = software.c_str();
    fields.make = make.c_str();
    fields.model = "\x97\x5C\x92\xE8\x95\x5C";
    Ifd ifd0 = ReadIfd(Tiff(fields), 8);
    EXPECT_EQ(ifd0.Value(0x0131), std::string(MaxSoftwareText - 1, 's') + '\0');
    EXPECT_EQ(ifd0.Value(0x010F), std::string(MaxScannerText - 1, 'm') + '\0');
    EXPECT_EQ(ifd0.Value(0x0110), std::string(fields.model) + '\0');
    // Nothing but half a character: no tag at all.
    fields.make = "\x95";
    EXPECT_FALSE(ReadIfd(Tiff(fields), 8).entries.count(0x010F));
}

// The longest texts of every field still leave a whole segment.
TEST(ExifSegment, LongestTextsFit)
{
    const std::string longText(100000, 't');
    ExifFields fields = Sample;
    fields.make = fields.model = fields.software = longText.c_str();
    Tiff(fields);
}

TEST(TiffIfd, TagsBeyondItsRoomMakeItIncomplete)
{
    TiffIfd ifd;
    for (uint16_t tag = 1; tag <= TiffIfd::MaxEntries; ++tag) {
        ifd.AddShort(tag, tag);
    }
    ifd.AddShort(1, 7); // a replacement needs no room
    EXPECT_TRUE(ifd.Complete());
    ifd.AddShort(0xFFFF, 1);
    EXPECT_FALSE(ifd.Complete());
}

TEST(ExifSegment, DateTimeForm)
{
    char text[ExifDateTimeBytes];
    ExifDateTime(2024, 3, 7, 9, 5, 2, text);
    EXPECT_STREQ(text, "2024:03:07 09:05:02");
    ExifDateTime(123456, -3, 7, 9, 100, 2, text);
    EXPECT_STREQ(text, "9999:00:07 09:99:02") << "out-of-range values keep the form";
}

} // namespace
} // namespace vkexf
