// Owns a block of the process heap. Never throws: a failed allocation leaves
// it empty, for the caller to report.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <utility>

namespace vkexf {

class HeapBuffer {
public:
    HeapBuffer() = default;
    HeapBuffer(const HeapBuffer&) = delete;
    HeapBuffer& operator=(const HeapBuffer&) = delete;
    ~HeapBuffer() { Release(); }

    // False when the heap has no room; the old block is gone either way.
    bool Allocate(size_t bytes, decltype(&::HeapAlloc) allocate = ::HeapAlloc)
    {
        Release();
        data_ = static_cast<uint8_t*>(allocate(GetProcessHeap(), 0, bytes));
        size_ = data_ ? bytes : 0;
        return data_ != nullptr;
    }

    void Swap(HeapBuffer& other)
    {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
    }

    uint8_t* data() const { return data_; }
    size_t size() const { return size_; }

private:
    void Release()
    {
        if (data_)
            HeapFree(GetProcessHeap(), 0, data_);
        data_ = nullptr;
        size_ = 0;
    }

    uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

} // namespace vkexf
