#include "tests/support/CppHeapGuard.h"

#include <cstdlib>
#include <new>

namespace {

bool refusing = false;
uint32_t attempts = 0;

} // namespace

namespace vlexif::test {

CppHeapRefused::CppHeapRefused()
{
    attempts = 0;
    refusing = true;
}

CppHeapRefused::~CppHeapRefused()
{
    refusing = false;
}

uint32_t CppHeapRefused::Attempts()
{
    return attempts;
}

} // namespace vlexif::test

// The program's replacement of the global allocation function; every other
// form of new (arrays, nothrow) ends here.
void* operator new(std::size_t size)
{
    if (refusing) {
        ++attempts;
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size != 0 ? size : 1)) {
        return block;
    }
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}
