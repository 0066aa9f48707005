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

void TiffIfd::AppendTo(std::vector<uint8_t>& out, size_t tiffStart) const
{
    std::vector<uint8_t> values;
    const size_t valueOffset = out.size() - tiffStart + 2 + kEntryBytes * entries_.size() + 4;
    PutU16(out, static_cast<uint16_t>(entries_.size()));
    for (const auto& [tag, entry] : entries_) {
        PutU16(out, tag);
        PutU16(out, entry.type);
        PutU32(out, entry.count);
        if (entry.value.size() <= kInlineBytes) {
            out.insert(out.end(), entry.value.begin(), entry.value.end());
            out.insert(out.end(), kInlineBytes - entry.value.size(), 0);
        } else {
            PutU32(out, static_cast<uint32_t>(valueOffset + values.size()));
            values.insert(values.end(), entry.value.begin(), entry.value.end());
            values.resize(Padded(values.size()));
        }
    }
    PutU32(out, 0);
    out.insert(out.end(), values.begin(), values.end());
}

} // namespace vkexf
