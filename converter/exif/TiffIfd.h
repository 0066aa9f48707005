// One little-endian TIFF image file directory: entries kept in ascending tag
// order, values too large for an entry laid out after it on even offsets.
// A fixed number of entries and no allocation: texts and byte strings are
// borrowed and must outlive the directory.
#pragma once

#include "converter/exif/ByteWriter.h"

#include <cstddef>
#include <cstdint>

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
    static constexpr size_t MaxEntries = 16;

    // Adding a tag again replaces its earlier value; a new tag beyond
    // MaxEntries is dropped and the directory counts as incomplete.
    void AddAscii(uint16_t tag, const char* text, size_t length); // NUL added
    void AddShort(uint16_t tag, uint16_t value);
    void AddLong(uint16_t tag, uint32_t value);
    void AddRational(uint16_t tag, uint32_t numerator, uint32_t denominator);
    void AddUndefined(uint16_t tag, const char* bytes, size_t count);

    bool Complete() const { return !dropped; }

    // Bytes AppendTo adds: the directory and its out-of-entry values.
    size_t Size() const;
    // Appends the directory at `out`'s current end, an even distance from
    // tiffStart, where the TIFF header begins and offsets count from, and
    // links it to the directory at `next` (0: none).
    void AppendTo(ByteWriter& out, size_t tiffStart, uint32_t next = 0) const;

private:
    struct Entry {
        uint16_t tag;
        uint16_t type;
        uint32_t count;
        uint8_t own[8];        // short, long and rational values
        const char* borrowed;  // ascii and undefined values, or null
        size_t borrowedLength; // without the NUL an ascii value gets
        size_t Bytes() const;
        void WriteValue(ByteWriter& out) const;
    };
    // The entry for `tag`, or null when it is new and the directory is full.
    Entry* Slot(uint16_t tag);

    Entry entries[MaxEntries] = {};
    size_t count = 0;
    bool dropped = false;
};

} // namespace vkexf
