#include "converter/base/ThreadGroup.h"

#include <algorithm>

namespace vkexf {

uint32_t UsableProcessors()
{
    DWORD_PTR process = 0, system = 0;
    if (!GetProcessAffinityMask(GetCurrentProcess(), &process, &system)) {
        return 1;
    }
    uint32_t count = 0;
    for (; process; process &= process - 1) {
        ++count;
    }
    return std::max<uint32_t>(count, 1);
}

} // namespace vkexf
