#include "converter/TiffIfd.h"

#include <utility>

namespace vkexf {

namespace {

constexpr size_t kEntryBytes = 12;
constexpr size_t kInlineBytes = 4;

void PutU16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v)
{
    PutU16(out, static_cast<uint16_t>(v));
    PutU16(out, static_cast<uint16_t>(v >> 16));
}

size_t Padded(size_t n) { return n + (n & 1); }

} // namespace

void TiffIfd::Add(uint16_t tag, uint16_t type, uint32_t count, std::vector<uint8_t> value)
{
    entries_[tag] = Entry{type, count, std::move(value)};
}

void TiffIfd::AddAscii(uint16_t tag, const std::string& text)
{
    std::vector<uint8_t> value(text.begin(), text.end());
    value.push_back('\0');
    const auto count = static_cast<uint32_t>(value.size());
    Add(tag, TiffAscii, count, std::move(value));
}

void TiffIfd::AddShort(uint16_t tag, uint16_t v)
{
    std::vector<uint8_t> value;
    PutU16(value, v);
    Add(tag, TiffShort, 1, std::move(value));
}

void TiffIfd::AddLong(uint16_t tag, uint32_t v)
{
    std::vector<uint8_t> value;
    PutU32(value, v);
    Add(tag, TiffLong, 1, std::move(value));
}

void TiffIfd::AddRational(uint16_t tag, uint32_t numerator, uint32_t denominator)
{
    std::vector<uint8_t> value;
    PutU32(value, numerator);
    PutU32(value, denominator);
    Add(tag, TiffRational, 1, std::move(value));
}

void TiffIfd::AddUndefined(uint16_t tag, const std::string& bytes)
{
    Add(tag, TiffUndefined, static_cast<uint32_t>(bytes.size()),
        std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

size_t TiffIfd::Size() const
{
    size_t size = 2 + kEntryBytes * entries_.size() + 4;
    for (const auto& [tag, entry] : entries_) {
        if (entry.value.size() > kInlineBytes)
            size += Padded(entry.value.size());
    }
    return size;
}

void TiffIfd::AppendTo(std::vector<uint8_t>& tiff) const
{
    std::vector<uint8_t> values;
    size_t valueOffset = tiff.size() + 2 + kEntryBytes * entries_.size() + 4;
    PutU16(tiff, static_cast<uint16_t>(entries_.size()));
    for (const auto& [tag, entry] : entries_) {
        PutU16(tiff, tag);
        PutU16(tiff, entry.type);
        PutU32(tiff, entry.count);
        if (entry.value.size() <= kInlineBytes) {
            tiff.insert(tiff.end(), entry.value.begin(), entry.value.end());
            tiff.insert(tiff.end(), kInlineBytes - entry.value.size(), 0);
        } else {
            PutU32(tiff, static_cast<uint32_t>(valueOffset + values.size()));
            values.insert(values.end(), entry.value.begin(), entry.value.end());
            values.resize(Padded(values.size()));
        }
    }
    PutU32(tiff, 0);
    tiff.insert(tiff.end(), values.begin(), values.end());
}

} // namespace vkexf
