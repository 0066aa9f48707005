#include "converter/ExifSegment.h"
#include "converter/tests/TiffReader.h"

#include <gtest/gtest.h>

namespace vkexf {
namespace {

using test::TiffDirectory;
using test::TiffReader;

constexpr size_t kExifHeaderBytes = 6;
// Largest payload a JPEG marker segment can carry.
constexpr size_t kMaxMarkerPayload = 65533;

ExifFields SampleFields()
{
    ExifFields fields;
    fields.make = "Varlo";
    fields.model = "VS-400 duplex";
    fields.software = "Plug-in 1.00E";
    fields.dateTime = "2024:03:07 09:05:02";
    fields.xDpi = 300;
    fields.yDpi = 600;
    fields.width = 4960;
    fields.height = 70160;
    return fields;
}

struct ParsedExif {
    TiffDirectory ifd0;
    TiffDirectory exif;
};

ParsedExif Parse(const std::vector<uint8_t>& segment)
{
    EXPECT_EQ(std::string(segment.begin(), segment.begin() + kExifHeaderBytes),
              std::string("Exif\0\0", 6));
    TiffReader reader({segment.begin() + kExifHeaderBytes, segment.end()});
    ParsedExif parsed;
    parsed.ifd0 = reader.ReadDirectory(reader.firstIfdOffset());
    parsed.exif = reader.ReadDirectory(parsed.ifd0.Number(0x8769));
    return parsed;
}

std::pair<uint32_t, uint32_t> Rational(const TiffDirectory& ifd, uint16_t tag)
{
    const auto* entry = ifd.Find(tag);
    if (!entry || entry->type != 5 || entry->count != 1)
        return {0, 0};
    const auto& v = entry->value;
    return {v[0] | v[1] << 8 | v[2] << 16 | uint32_t(v[3]) << 24,
            v[4] | v[5] << 8 | v[6] << 16 | uint32_t(v[7]) << 24};
}

std::string Bytes(const TiffDirectory& ifd, uint16_t tag)
{
    const auto* entry = ifd.Find(tag);
    if (!entry || entry->type != 7)
        return "<missing>";
    return std::string(entry->value.begin(), entry->value.end());
}

TEST(ExifSegment, Ifd0HoldsImageDescription)
{
    const auto ifd0 = Parse(BuildExifSegment(SampleFields())).ifd0;
    EXPECT_EQ(ifd0.Ascii(0x010F), "Varlo");
    EXPECT_EQ(ifd0.Ascii(0x0110), "VS-400 duplex");
    EXPECT_EQ(ifd0.Number(0x0112), 1u);
    EXPECT_EQ(Rational(ifd0, 0x011A), std::make_pair(300u, 1u));
    EXPECT_EQ(Rational(ifd0, 0x011B), std::make_pair(600u, 1u));
    EXPECT_EQ(ifd0.Number(0x0128), 2u);
    EXPECT_EQ(ifd0.Ascii(0x0131), "Plug-in 1.00E");
    EXPECT_EQ(ifd0.Ascii(0x0132), "2024:03:07 09:05:02");
    EXPECT_EQ(ifd0.Number(0x0213), 1u);
    EXPECT_EQ(ifd0.nextOffset, 0u) << "no IFD1";
}

TEST(ExifSegment, ExifIfdHoldsCaptureDetails)
{
    const auto exif = Parse(BuildExifSegment(SampleFields())).exif;
    EXPECT_EQ(Bytes(exif, 0x9000), "0232");
    EXPECT_EQ(exif.Ascii(0x9003), "2024:03:07 09:05:02");
    EXPECT_EQ(exif.Ascii(0x9004), "2024:03:07 09:05:02");
    EXPECT_EQ(Bytes(exif, 0x9101), std::string("\1\2\3\0", 4));
    EXPECT_EQ(Bytes(exif, 0xA000), "0100");
    EXPECT_EQ(exif.Number(0xA001), 1u);
    EXPECT_EQ(exif.Find(0xA002)->type, 4) << "PixelXDimension must be LONG";
    EXPECT_EQ(exif.Find(0xA003)->type, 4) << "PixelYDimension must be LONG";
    EXPECT_EQ(exif.Number(0xA002), 4960u);
    EXPECT_EQ(exif.Number(0xA003), 70160u);
    EXPECT_EQ(exif.nextOffset, 0u);
}

TEST(ExifSegment, LayoutIsWellFormed)
{
    const auto segment = BuildExifSegment(SampleFields());
    const auto parsed = Parse(segment);
    const size_t tiffSize = segment.size() - kExifHeaderBytes;
    for (const auto* ifd : {&parsed.ifd0, &parsed.exif}) {
        for (size_t i = 1; i < ifd->entries.size(); ++i)
            EXPECT_LT(ifd->entries[i - 1].tag, ifd->entries[i].tag) << "tags ascending";
        for (const auto& entry : ifd->entries) {
            EXPECT_EQ(entry.valueOffset % 2, 0u) << "tag " << entry.tag << " on a word boundary";
            EXPECT_LE(entry.valueOffset + entry.value.size(), tiffSize);
        }
    }
    EXPECT_EQ(parsed.ifd0.entries.size(), 10u);
    EXPECT_EQ(parsed.exif.entries.size(), 8u);
}

TEST(ExifSegment, EmptyTextsAreLeftOut)
{
    ExifFields fields = SampleFields();
    fields.make.clear();
    fields.model.clear();
    fields.software.clear();
    const auto ifd0 = Parse(BuildExifSegment(fields)).ifd0;
    EXPECT_FALSE(ifd0.Find(0x010F));
    EXPECT_FALSE(ifd0.Find(0x0110));
    EXPECT_FALSE(ifd0.Find(0x0131));
    EXPECT_TRUE(ifd0.Find(0x0132));
}

TEST(ExifSegment, ShortTextsStayInline)
{
    ExifFields fields = SampleFields();
    fields.make = "Abc"; // with its NUL exactly four bytes
    const auto segment = BuildExifSegment(fields);
    const auto ifd0 = Parse(segment).ifd0;
    EXPECT_EQ(ifd0.Ascii(0x010F), "Abc");
    EXPECT_EQ(ifd0.Find(0x010F)->valueOffset, 8u + 2 + 8) << "inside the first entry";
}

TEST(ExifSegment, LongestInputsFitOneMarker)
{
    ExifFields fields = SampleFields();
    fields.make.assign(64, 'm');
    fields.model.assign(64, 'M');
    fields.software.assign(100000, 's');
    const auto segment = BuildExifSegment(fields);
    EXPECT_LE(segment.size(), kMaxMarkerPayload);
    EXPECT_EQ(Parse(segment).ifd0.Ascii(0x0131), std::string(kMaxSoftwareText, 's'));
}

TEST(ExifSegment, DateTimeForm)
{
    EXPECT_EQ(ExifDateTime(2024, 3, 7, 9, 5, 2), "2024:03:07 09:05:02");
    EXPECT_EQ(ExifDateTime(1999, 12, 31, 23, 59, 59), "1999:12:31 23:59:59");
}

} // namespace
} // namespace vkexf
