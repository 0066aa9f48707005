// Reads and writes of whole runs of bytes through the system-call table:
// each moves every byte it was given, or says why not as a Win32 error code.
#pragma once

#include "converter/base/ConverterStatus.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace vkexf {

// At the file pointer, which moves past the run.
DWORD WriteRun(HANDLE file, const uint8_t* bytes, size_t size);
// At `offset`.
DWORD WriteRunAt(HANDLE file, uint64_t offset, const uint8_t* bytes, size_t size);
// At `offset`; a file that ends first says ERROR_HANDLE_EOF.
DWORD ReadRunAt(HANDLE file, uint64_t offset, uint8_t* bytes, size_t size);

// The status for a write that failed with `error`: a full disk, or any other.
Status WriteStatus(DWORD error);

} // namespace vkexf
