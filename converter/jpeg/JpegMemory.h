// Memory for a compress object that compresses one strip after another.
// libjpeg takes the memory of an image at its start and gives it all back at
// its end, the same blocks each time; from the heap, a page's hundreds of
// strips would fault the same pages in over and over, and two workers would
// take turns at the heap's lock. A compress object whose `client_data` points
// at one of these keeps its blocks for the next strip instead; any other
// (the thumbnail's) takes its memory from the process heap as before.
#pragma once

#include "win32/UniqueHandle.h"

#include <windows.h>

#include <cstddef>

namespace vkexf {

class JpegMemory {
public:
    JpegMemory() = default;
    JpegMemory(const JpegMemory&) = delete;
    JpegMemory& operator=(const JpegMemory&) = delete;

    // A block of `bytes`: one given back before if it has that size.
    void* Take(size_t bytes);
    // Keeps `block` for the next Take of its size; one not kept goes back
    // to the heap.
    void Give(void* block);

private:
    struct Block {
        vlexif::UniqueHeapBlock held;
        size_t bytes;
        bool taken;
    };
    // More than one image's worth of libjpeg's pools; beyond, blocks go
    // straight back to the heap.
    static constexpr int MaxBlocks = 48;

    Block blocks[MaxBlocks] = {};
    int count = 0;
};

} // namespace vkexf
