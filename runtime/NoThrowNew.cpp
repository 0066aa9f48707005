// The allocation functions of both DLLs. libstdc++'s own nothrow new calls
// the throwing one inside a try block, which links the exception runtime: its
// emergency pool and the mutexes guarding it and the unwinder's frame list,
// each a semaphore created at load and never closed, so every load of the DLL
// kept a handle. These never throw; code asks for memory only with
// `new (std::nothrow)` and checks the result.
//
// The throwing forms are left undefined here on purpose: a use of one links
// libstdc++'s, and with it the exception runtime, whose semaphore and TLS
// imports tests/release/check-dll.sh refuses.
#include <cstdlib>
#include <new>

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return std::malloc(size != 0 ? size : 1);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return std::malloc(size != 0 ? size : 1);
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete[](void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    std::free(block);
}

void operator delete(void* block, const std::nothrow_t&) noexcept
{
    std::free(block);
}

void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    std::free(block);
}
