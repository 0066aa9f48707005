#include "spool/GlobalBlock.h"

#include "win32/SystemCalls.h"

namespace vlexif {

bool GlobalBlock::Allocate(uint32_t bytes)
{
    Reset();
    const HGLOBAL handle = Os().globalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (!handle) {
        return false;
    }
    void* address = Os().globalLock(handle);
    if (!address) {
        Os().globalFree(handle);
        return false;
    }
    Reset(address, bytes);
    return true;
}

} // namespace vlexif
