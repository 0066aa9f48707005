#include "converter/tests/TiffReader.h"

#include <stdexcept>

namespace vkexf::test {

namespace {

size_t TypeSize(uint16_t type)
{
    switch (type) {
    case 3: return 2; // SHORT
    case 4: return 4; // LONG
    case 5: return 8; // RATIONAL
    default: return 1; // BYTE, ASCII, UNDEFINED
    }
}

} // namespace

const TiffEntry* TiffDirectory::Find(uint16_t tag) const
{
    for (const auto& entry : entries) {
        if (entry.tag == tag)
            return &entry;
    }
    return nullptr;
}

std::string TiffDirectory::Ascii(uint16_t tag) const
{
    const TiffEntry* entry = Find(tag);
    if (!entry || entry->type != 2 || entry->value.empty() || entry->value.back() != 0)
        return "";
    return std::string(entry->value.begin(), entry->value.end() - 1);
}

uint32_t TiffDirectory::Number(uint16_t tag) const
{
    const TiffEntry* entry = Find(tag);
    if (!entry || entry->count != 1 || (entry->type != 3 && entry->type != 4))
        throw std::runtime_error("no single SHORT or LONG for tag " + std::to_string(tag));
    uint32_t value = 0;
    for (size_t i = entry->value.size(); i-- > 0;)
        value = value << 8 | entry->value[i];
    return value;
}

TiffReader::TiffReader(std::vector<uint8_t> tiff) : tiff_(std::move(tiff))
{
    if (tiff_.size() < 8 || tiff_[0] != 'I' || tiff_[1] != 'I' || U16(2) != 42)
        throw std::runtime_error("not a little-endian TIFF header");
}

uint16_t TiffReader::U16(size_t at) const
{
    return static_cast<uint16_t>(tiff_.at(at) | tiff_.at(at + 1) << 8);
}

uint32_t TiffReader::U32(size_t at) const { return U16(at) | uint32_t{U16(at + 2)} << 16; }

uint32_t TiffReader::firstIfdOffset() const { return U32(4); }

TiffDirectory TiffReader::ReadDirectory(uint32_t offset) const
{
    TiffDirectory directory;
    const uint16_t count = U16(offset);
    for (uint16_t i = 0; i < count; ++i) {
        const size_t at = offset + 2 + 12 * size_t{i};
        TiffEntry entry;
        entry.tag = U16(at);
        entry.type = U16(at + 2);
        entry.count = U32(at + 4);
        const size_t bytes = TypeSize(entry.type) * entry.count;
        entry.valueOffset = bytes <= 4 ? static_cast<uint32_t>(at + 8) : U32(at + 8);
        if (entry.valueOffset + bytes > tiff_.size())
            throw std::out_of_range("value of tag " + std::to_string(entry.tag) + " outside");
        entry.value.assign(tiff_.begin() + entry.valueOffset,
                           tiff_.begin() + entry.valueOffset + bytes);
        directory.entries.push_back(entry);
    }
    directory.nextOffset = U32(offset + 2 + 12 * size_t{count});
    return directory;
}

} // namespace vkexf::test
