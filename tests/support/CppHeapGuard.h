// Makes the C++ heap of the test program refuse every allocation for a
// while, to prove that plug-in code run meanwhile never uses it: there an
// allocation failure could only become an exception out of the host's entry.
#pragma once

#include <cstdint>

namespace vlexif::test {

class CppHeapRefused {
public:
    CppHeapRefused();
    ~CppHeapRefused();
    CppHeapRefused(const CppHeapRefused&) = delete;
    CppHeapRefused& operator=(const CppHeapRefused&) = delete;

    // Allocations asked for (and refused) since the guard was made.
    static uint32_t Attempts();
};

} // namespace vlexif::test
