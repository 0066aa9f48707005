#include "converter/base/Crew.h"

namespace vkexf {

void Crew::SetSize(uint32_t workers)
{
    Hold hold(*this);
    size = workers;
}

bool Crew::Take(uint32_t& next, uint32_t count, uint32_t& taken)
{
    Hold hold(*this);
    if (stopped || next >= count) {
        return false;
    }
    taken = next++;
    return true;
}

bool Crew::Stop()
{
    bool first = false;
    {
        Hold hold(*this);
        first = !stopped;
        stopped = true;
    }
    WakeAll();
    return first;
}

} // namespace vkexf
