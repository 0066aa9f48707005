#include "win32/Module.h"

namespace vlexif {

namespace {

HMODULE ownModule = nullptr;
HMODULE resourceModule = nullptr;

} // namespace

HMODULE OwnModule()
{
    return ownModule;
}

HMODULE ResourceModule()
{
    return resourceModule;
}

void SetModuleHandles(HMODULE own, HMODULE resources)
{
    ownModule = own;
    resourceModule = resources;
}

} // namespace vlexif
