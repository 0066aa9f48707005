// Every handle the process holds, counted by object type: each value in the
// handle range that GetHandleInformation accepts, typed by NtQueryObject. A
// census before and after something tells what it kept, whatever the type;
// the lowest free handle alone misses a kept handle while a lower one is
// free, and counts one the system moved.
//
// Taking one allocates nothing, so it can sit between heap readings.
// Under Wine each probe is a server round trip, about 4 µs.
#pragma once

#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <string>

namespace vlexif::test {

class HandleCensus {
public:
    // Windows and Wine give a new handle the lowest free value, four apart,
    // so the values in use lie together at the bottom of the range. A handle
    // kept above a run of this many free values would take a call holding
    // that many handles at once; the census stops at the first such run.
    static constexpr uintptr_t FreeRunAtEnd = 256;
    // The whole range: Windows' handle table ends here.
    static constexpr uintptr_t HandleRangeEnd = 1u << 24;

    static HandleCensus Take()
    {
        HandleCensus census;
        uintptr_t freeRun = 0;
        for (uintptr_t value = 4; value < HandleRangeEnd && freeRun < FreeRunAtEnd; value += 4) {
            const HANDLE handle = reinterpret_cast<HANDLE>(value);
            DWORD flags = 0;
            if (GetHandleInformation(handle, &flags)) {
                census.Add(handle);
                freeRun = 0;
            } else {
                ++freeRun;
            }
        }
        return census;
    }

    uint32_t Total() const { return total; }

    uint32_t Count(const wchar_t* type) const
    {
        for (size_t k = 0; k < typeCount; ++k) {
            if (std::wcscmp(types[k].name, type) == 0) {
                return types[k].count;
            }
        }
        return 0;
    }

    bool operator==(const HandleCensus& other) const
    {
        if (total != other.total) {
            return false;
        }
        for (size_t k = 0; k < typeCount; ++k) {
            if (other.Count(types[k].name) != types[k].count) {
                return false;
            }
        }
        return true;
    }
    bool operator!=(const HandleCensus& other) const { return !(*this == other); }

    // "Event 3, File 2, Semaphore 100": each type with its count, by name.
    std::string Describe() const
    {
        const Type* sorted[MaxTypes];
        for (size_t k = 0; k < typeCount; ++k) {
            size_t at = k;
            for (; at > 0 && std::wcscmp(sorted[at - 1]->name, types[k].name) > 0; --at) {
                sorted[at] = sorted[at - 1];
            }
            sorted[at] = &types[k];
        }
        std::string text;
        for (size_t k = 0; k < typeCount; ++k) {
            char line[64];
            std::snprintf(line, sizeof line, "%s%ls %u", k ? ", " : "", sorted[k]->name,
                          static_cast<unsigned>(sorted[k]->count));
            text += line;
        }
        return text;
    }

private:
    static constexpr size_t MaxTypes = 32;
    struct Type {
        wchar_t name[32];
        uint32_t count;
    };

    void Add(HANDLE handle)
    {
        ++total;
        // The type's name follows the record in the same buffer.
        alignas(8) uint8_t buffer[sizeof(PUBLIC_OBJECT_TYPE_INFORMATION) + 256] = {};
        wchar_t name[32] = L"(no type name)";
        if (NtQueryObject(handle, ObjectTypeInformation, buffer, sizeof buffer, nullptr) >= 0 &&
            reinterpret_cast<PUBLIC_OBJECT_TYPE_INFORMATION*>(buffer)->TypeName.Length != 0) {
            const UNICODE_STRING& typeName = reinterpret_cast<PUBLIC_OBJECT_TYPE_INFORMATION*>(buffer)->TypeName;
            const size_t length = std::min<size_t>(typeName.Length / sizeof(wchar_t), 31);
            std::wmemcpy(name, typeName.Buffer, length);
            name[length] = L'\0';
        }
        for (size_t k = 0; k < typeCount; ++k) {
            if (std::wcscmp(types[k].name, name) == 0) {
                ++types[k].count;
                return;
            }
        }
        if (typeCount < MaxTypes) {
            std::wmemcpy(types[typeCount].name, name, 32);
            types[typeCount++].count = 1;
        }
    }

    Type types[MaxTypes] = {};
    size_t typeCount = 0;
    uint32_t total = 0;
};

} // namespace vlexif::test
