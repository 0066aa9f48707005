// Reads back a little-endian TIFF stream, checking every offset it follows
// stays inside the stream.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vkexf::test {

struct TiffEntry {
    uint16_t tag = 0;
    uint16_t type = 0;
    uint32_t count = 0;
    uint32_t valueOffset = 0; // where the value's bytes are, in or out of the entry
    std::vector<uint8_t> value;
};

struct TiffDirectory {
    std::vector<TiffEntry> entries; // in file order
    uint32_t nextOffset = 0;

    const TiffEntry* Find(uint16_t tag) const;
    std::string Ascii(uint16_t tag) const;     // without the NUL; "" when absent
    uint32_t Number(uint16_t tag) const;       // a SHORT or LONG; throws when absent
};

class TiffReader {
public:
    // Throws std::runtime_error unless `tiff` starts with a little-endian header.
    explicit TiffReader(std::vector<uint8_t> tiff);

    uint32_t firstIfdOffset() const;
    // Throws std::out_of_range when any part lies outside the stream.
    TiffDirectory ReadDirectory(uint32_t offset) const;

private:
    uint16_t U16(size_t at) const;
    uint32_t U32(size_t at) const;

    std::vector<uint8_t> tiff_;
};

} // namespace vkexf::test
