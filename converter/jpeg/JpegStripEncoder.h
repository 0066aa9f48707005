// One libjpeg-turbo compress object that compresses the strips of a page, a
// strip at a time, each as a JPEG of its own. A strip is one restart
// interval, so its entropy-coded bytes are the page's bytes between two
// restart markers: the strips, spliced in order behind the first strip's
// headers, are the page a single compress object would write with the same
// restart interval.
//
// libjpeg reports errors by longjmp: each public step sets the jump target
// itself and calls only into libjpeg and the C-style callbacks below, so the
// jump passes over nothing with a destructor, and the step turns it into a
// status.
#pragma once

#include "converter/base/ConverterStatus.h"
#include "converter/base/HeapBuffer.h"
#include "converter/jpeg/HuffmanTables.h"
#include "converter/jpeg/JpegErrors.h"
#include "converter/jpeg/JpegMemory.h"
#include "converter/jpeg/JpegSettings.h"

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

namespace vkexf {

class JpegStripEncoder {
public:
    JpegStripEncoder() : errors(), destination(), cinfo() {}
    ~JpegStripEncoder();
    JpegStripEncoder(const JpegStripEncoder&) = delete;
    JpegStripEncoder& operator=(const JpegStripEncoder&) = delete;

    // Sets up for the page `settings` describes, one component when `grey`,
    // with `restartInterval` MCUs a strip and room for `outputBytes` of
    // compressed data to begin with.
    Status Prepare(const JpegSettings& settings, bool grey, unsigned restartInterval, size_t outputBytes);

    // Compresses `count` rows of BGR pixels, top line first, as strip
    // `index` of `strips`. Then Bytes() is what the page's file holds for
    // it: the first strip begins with the page's headers, less the Exif
    // segment (see ExifRoom.h), and each strip ends with its restart marker,
    // the last with the end of the image.
    Status Encode(uint8_t** rows, unsigned count, uint32_t index, uint32_t strips);
    // Puts `bytes` zero bytes into Bytes() at `at`.
    Status InsertZeros(size_t at, size_t bytes);

    // Compresses `count` rows, a band of the page that begins on an MCU row,
    // with the standard tables and adds the symbols written to `counts`.
    Status Sample(uint8_t** rows, unsigned count, SymbolCounts& counts);
    // The tables every strip from now on is coded with, 0 for luminance and
    // 1 for chroma.
    void UseTables(const HuffmanTable (&dc)[2], const HuffmanTable (&ac)[2]);

    const uint8_t* Bytes() const { return destination.buffer.Address() + begin; }
    size_t Size() const { return end - begin; }

private:
    // Grows as needed, so that a strip is compressed in one go.
    struct MemoryDestination : jpeg_destination_mgr {
        HeapBuffer buffer;
        size_t used;
    };

    static void InitDestination(j_compress_ptr cinfo);
    static boolean EmptyBuffer(j_compress_ptr cinfo);
    static void TermDestination(j_compress_ptr cinfo);
    // Doubles the buffer, keeping what it holds; false when memory is short.
    [[nodiscard]] static bool Grow(MemoryDestination& destination);

    // The status for a longjmp out of libjpeg.
    Status Failed() const;
    // Compresses `count` rows as a JPEG of their own into the buffer and
    // finds its scan.
    Status Compress(uint8_t** rows, unsigned count);
    // Finds where the entropy-coded bytes begin, writing the page's height
    // into the frame header on the way; false if libjpeg wrote no such thing.
    [[nodiscard]] bool LocateScan(uint8_t* jpeg, size_t size, uint32_t pageHeight);

    JpegErrors errors;
    MemoryDestination destination;
    JpegMemory memory; // outlives the compress object, which gives its blocks back
    jpeg_compress_struct cinfo;
    bool created = false;
    uint32_t pageHeight = 0;
    size_t begin = 0;
    size_t end = 0;
};

} // namespace vkexf
