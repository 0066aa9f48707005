#include "spool/GlobalBlock.h"

#include "spool/SystemCalls.h"

namespace vlexif {

bool GlobalBlock::Allocate(uint32_t bytes)
{
    Release();
    size = bytes;
    HGLOBAL handle = Os().GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (!handle) {
        return false;
    }
    address = static_cast<uint8_t*>(Os().GlobalLock(handle));
    if (!address) {
        Os().GlobalFree(handle);
        return false;
    }
    return true;
}

void GlobalBlock::Release()
{
    if (!address) {
        return;
    }
    HGLOBAL handle = Os().GlobalHandle(address);
    Os().GlobalUnlock(handle);
    Os().GlobalFree(handle);
    address = nullptr;
}

} // namespace vlexif
