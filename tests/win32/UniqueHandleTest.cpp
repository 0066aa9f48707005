#include "win32/UniqueHandle.h"
#include "win32/MemoryBlock.h"

#include <gtest/gtest.h>

#include <vector>

namespace vlexif {
namespace {

// Every value freed, in order; a value of 13 fails to free.
std::vector<int*> freed;

bool RecordFree(int* value)
{
    freed.push_back(value);
    SetLastError(ERROR_INVALID_HANDLE); // as a close may, failing or not
    return value != reinterpret_cast<int*>(13);
}

using Recorded = UniqueHandle<int*, RecordFree, -1>;

int* Value(intptr_t bits)
{
    return reinterpret_cast<int*>(bits);
}

TEST(UniqueHandle, ResetFreesReleaseGivesUpAndPutFreesBeforeHandingOut)
{
    freed.clear();
    {
        Recorded held(Value(4));
        EXPECT_TRUE(held.Valid());
        held.Reset(Value(8));
        EXPECT_EQ(freed, std::vector<int*>{Value(4)});
        EXPECT_EQ(held.Release(), Value(8));
        EXPECT_FALSE(held.Valid());
        EXPECT_EQ(held.Get(), Value(-1));
        held.Reset(Value(12));
        *held.Put() = Value(16);
        EXPECT_EQ(held.Get(), Value(16));

        Recorded moved(std::move(held));
        EXPECT_FALSE(held.Valid());
        EXPECT_EQ(moved.Get(), Value(16));
    }
    // 8 was given up; 12 went at Put, 16 with the last holder, once.
    EXPECT_EQ(freed, (std::vector<int*>{Value(4), Value(12), Value(16)}));
}

TEST(UniqueHandle, CloseSaysWhetherFreeingWorkedAndEmptiesEitherWay)
{
    freed.clear();
    Recorded held(Value(13));
    EXPECT_FALSE(held.Close());
    EXPECT_FALSE(held.Valid());
    EXPECT_TRUE(held.Close()); // nothing held: nothing freed
    held.Reset(Value(4));
    EXPECT_TRUE(held.Close());
    EXPECT_EQ(freed, (std::vector<int*>{Value(13), Value(4)}));

    // A holder let go of on a failure path keeps the reason the caller is
    // about to read.
    held.Reset(Value(13));
    SetLastError(ERROR_SHARING_VIOLATION);
    held.Reset();
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));

    // A file that could not be opened holds nothing.
    const UniqueFile missing(CreateFileA("Z:\\no\\such\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(missing.Valid());
    EXPECT_FALSE(UniqueModule().Valid());
}

TEST(MemoryBlock, TheSizeTravelsWithTheBlock)
{
    MemoryBlock<UniqueHeapBlock> block;
    block.Reset(HeapAlloc(GetProcessHeap(), 0, 24), 24);
    MemoryBlock<UniqueHeapBlock> moved(std::move(block));
    EXPECT_EQ(moved.Size(), 24u);
    EXPECT_EQ(block.Size(), 0u);
    EXPECT_FALSE(block.Valid());
    moved.Reset();
    EXPECT_EQ(moved.Size(), 0u);
    EXPECT_EQ(moved.Address(), nullptr);
}

} // namespace
} // namespace vlexif
