// The one holder of a handle, or of anything else that one call frees: WIL's
// unique_any without exceptions. The type says what is held, the call that
// frees it and the value that means none, so one meaning holds everywhere:
// Get() the raw value, Reset() frees it (and takes another), Release() gives
// it up without freeing, Put() for the calls that hand one back through a
// pointer, Close() frees it and says whether that worked.
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

namespace vlexif {

// `Free` returns false when freeing failed. The empty value is given by its
// bits: INVALID_HANDLE_VALUE is a cast, which a template argument cannot be.
template <typename T, bool (*Free)(T), intptr_t EmptyBits = 0>
class UniqueHandle {
public:
    static T Empty() { return reinterpret_cast<T>(EmptyBits); }

    UniqueHandle() = default;
    explicit UniqueHandle(T held) : value(held) {}
    UniqueHandle(UniqueHandle&& other) noexcept : value(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    T Get() const { return value; }
    bool Valid() const { return value != Empty(); }

    // Frees the value held, if any, and holds `newValue`. The caller's last
    // error survives, as WIL's reset keeps it: a holder let go of on a
    // failure path must not change the reason the caller is about to read.
    void Reset(T newValue = Empty())
    {
        const DWORD error = GetLastError();
        static_cast<void>(Close()); // a value being let go of has no one to tell
        SetLastError(error);
        value = newValue;
    }

    // Gives the value up: the caller frees it from now on.
    [[nodiscard]] T Release() { return std::exchange(value, Empty()); }

    // Frees the value held and hands out where the next one is to be written.
    T* Put()
    {
        Reset();
        return &value;
    }

    // Frees the value held now. False when freeing failed: for a written
    // file, data may be lost. Nothing held is nothing to fail.
    [[nodiscard]] bool Close() { return !Valid() || Free(Release()); }

private:
    T value = Empty();
};

inline bool CloseKernelHandle(HANDLE handle)
{
    return CloseHandle(handle) != FALSE;
}

inline bool UnloadModule(HMODULE module)
{
    return FreeLibrary(module) != FALSE;
}

inline bool CloseRegistryKey(HKEY key)
{
    return RegCloseKey(key) == ERROR_SUCCESS;
}

// The frees of what the system-call table (SystemCalls.h) hands out go
// back through it, so that a test sees them and can make them fail; defined
// beside the table.
bool CloseFile(HANDLE file);
bool FreeHeapBlock(void* address);
// A locked block is held by its address: unlocked and freed through the
// handle it belongs to.
bool FreeLockedGlobal(void* address);
bool CloseFind(HANDLE search);

// A mutex this thread owns: released, then closed.
inline bool ReleaseAndCloseMutex(HANDLE mutex)
{
    const bool released = ReleaseMutex(mutex) != FALSE;
    return CloseHandle(mutex) != FALSE && released;
}

constexpr intptr_t InvalidHandleBits = -1;

// CreateFile's handles: INVALID_HANDLE_VALUE is none. Closed through the
// table, so that a test can make a close fail.
using UniqueFile = UniqueHandle<HANDLE, CloseFile, InvalidHandleBits>;
// FindFirstFile's searches.
using UniqueFind = UniqueHandle<HANDLE, CloseFind, InvalidHandleBits>;
// Threads, events and the other kernel objects whose none is null.
using UniqueKernelHandle = UniqueHandle<HANDLE, CloseKernelHandle>;
// A mutex held while this thread owns it.
using UniqueOwnedMutex = UniqueHandle<HANDLE, ReleaseAndCloseMutex>;
using UniqueModule = UniqueHandle<HMODULE, UnloadModule>;
using UniqueRegistryKey = UniqueHandle<HKEY, CloseRegistryKey>;
// A block of the process heap.
using UniqueHeapBlock = UniqueHandle<void*, FreeHeapBlock>;
// A GlobalAlloc block, held locked by its address.
using UniqueGlobalLock = UniqueHandle<void*, FreeLockedGlobal>;

} // namespace vlexif
