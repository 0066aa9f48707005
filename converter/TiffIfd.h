// One little-endian TIFF image file directory: entries kept in ascending tag
// order, values too large for an entry laid out after it on even offsets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vkexf {

enum TiffType : uint16_t {
    TiffAscii = 2,
    TiffShort = 3,
    TiffLong = 4,
    TiffRational = 5,
    TiffUndefined = 7,
};

class TiffIfd {
public:
    // Adding a tag again replaces its earlier value.
    void AddAscii(uint16_t tag, const std::string& text);
    void AddShort(uint16_t tag, uint16_t value);
    void AddLong(uint16_t tag, uint32_t value);
    void AddRational(uint16_t tag, uint32_t numerator, uint32_t denominator);
    void AddUndefined(uint16_t tag, const std::string& bytes);

    // Bytes AppendTo adds: the directory and its out-of-entry values.
    size_t Size() const;
    // Appends the directory to `out`, at an even distance from tiffStart,
    // where the TIFF header begins and offsets count from. Next-IFD link 0.
    void AppendTo(std::vector<uint8_t>& out, size_t tiffStart) const;

private:
    struct Entry {
        uint16_t type;
        uint32_t count;
        std::vector<uint8_t> value; // little-endian, unpadded
    };
    void Add(uint16_t tag, uint16_t type, uint32_t count, std::vector<uint8_t> value);

    std::map<uint16_t, Entry> entries_;
};

} // namespace vkexf
