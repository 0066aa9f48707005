#include "converter/jpeg/JpegMemory.h"

#include "win32/SystemCalls.h"

#include <cstdio>

#include <jpeglib.h>

#include <jerror.h>

namespace vkexf {

void* JpegMemory::Take(size_t bytes)
{
    for (int i = 0; i < count; ++i) {
        if (!blocks[i].taken && blocks[i].bytes == bytes) {
            blocks[i].taken = true;
            return blocks[i].held.Get();
        }
    }
    void* const address = vlexif::Os().heapAlloc(GetProcessHeap(), 0, bytes);
    if (address && count < MaxBlocks) {
        Block& kept = blocks[count++];
        kept.held.Reset(address);
        kept.bytes = bytes;
        kept.taken = true;
    }
    return address;
}

void JpegMemory::Give(void* block)
{
    for (int i = 0; i < count; ++i) {
        if (blocks[i].held.Get() == block) {
            blocks[i].taken = false;
            return;
        }
    }
    const vlexif::UniqueHeapBlock returned(block); // not kept: back to the heap
}

} // namespace vkexf

// libjpeg's system-dependent memory functions, in place of the library's
// own malloc-based ones, which the linker then leaves out.
namespace {

vkexf::JpegMemory* MemoryOf(j_common_ptr cinfo)
{
    return static_cast<vkexf::JpegMemory*>(cinfo->client_data);
}

void* Take(j_common_ptr cinfo, size_t bytes)
{
    vkexf::JpegMemory* const memory = MemoryOf(cinfo);
    return memory ? memory->Take(bytes) : vlexif::Os().heapAlloc(GetProcessHeap(), 0, bytes);
}

void Give(j_common_ptr cinfo, void* block)
{
    if (vkexf::JpegMemory* const memory = MemoryOf(cinfo)) {
        memory->Give(block);
    } else {
        const vlexif::UniqueHeapBlock returned(block); // the heap's, as it was taken
    }
}

} // namespace

struct backing_store_struct;

extern "C" {

void* jpeg_get_small(j_common_ptr cinfo, size_t bytes)
{
    return Take(cinfo, bytes);
}

void jpeg_free_small(j_common_ptr cinfo, void* block, size_t)
{
    Give(cinfo, block);
}

void* jpeg_get_large(j_common_ptr cinfo, size_t bytes)
{
    return Take(cinfo, bytes);
}

void jpeg_free_large(j_common_ptr cinfo, void* block, size_t)
{
    Give(cinfo, block);
}

// Everything libjpeg asks for lives in memory: no backing store.
size_t jpeg_mem_available(j_common_ptr cinfo, size_t, size_t wanted, size_t held)
{
    const auto limit = static_cast<size_t>(cinfo->mem->max_memory_to_use);
    if (!limit) {
        return wanted;
    }
    return limit > held ? limit - held : 0;
}

void jpeg_open_backing_store(j_common_ptr cinfo, backing_store_struct*, long)
{
    ERREXIT(cinfo, JERR_NO_BACKING_STORE);
}

long jpeg_mem_init(j_common_ptr)
{
    return 0;
}

void jpeg_mem_term(j_common_ptr) {}

} // extern "C"
