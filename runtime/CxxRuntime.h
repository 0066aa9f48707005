// What a DLL that links the C++ runtime statically has to give back itself
// when a host unloads it. libstdc++ sets aside a pool for throwing exceptions
// when memory runs out (about 19 KB in a 32-bit process) and never frees it,
// so a host that loads and unloads the DLL for every call would lose one pool
// per load.
#pragma once

namespace __gnu_cxx {
void __freeres(); // libstdc++'s own release of that pool (what Valgrind calls at exit)
}

// For DllMain's DLL_PROCESS_DETACH when the DLL is unloaded with FreeLibrary.
// Not at process exit: the memory goes anyway, and other threads may have
// been stopped in the middle of a throw.
inline void ReleaseCxxRuntimePool(const void* detachReserved)
{
    if (detachReserved == nullptr) {
        __gnu_cxx::__freeres();
    }
}
