// A host may load and unload the plug-in between any two calls, and the
// plug-in loads the converter several times a job, so a load of any shipped
// DLL that kept a handle, a TLS slot or heap would wear a host down: a kept
// semaphore a load is a hundred thousand handles a day, a kept slot ends the
// process after about a thousand loads.
#include "interface/JobDestination.h"
#include "interface/VkExf.h"
#include "tests/converter/TestBmp.h"
#include "tests/support/HandleCensus.h"
#include "tests/support/ProcessResources.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vlexif {
namespace {

using namespace vlexif::test;

constexpr int Cycles = 1000;

class LoadCycleTest : public testing::TestWithParam<const char*> {
protected:
    // The shipped DLLs together, as in a host's plug-in folder.
    std::string Path() const { return Stage("stage-shipped") + GetParam(); }

    bool LoadAndFree() const
    {
        const HMODULE module = LoadLibraryA(Path().c_str());
        return module && FreeLibrary(module);
    }
};

TEST_P(LoadCycleTest, ThousandLoadsKeepNoHandleSlotOrHeap)
{
    // What the first load sets up in the process for good is not the DLL's.
    ASSERT_TRUE(LoadAndFree()) << Path();
    const HandleCensus handlesBefore = HandleCensus::Take();
    const DWORD slotBefore = FirstFreeTlsIndex();
    const uint64_t heapBefore = HeapBytesInUse();
    for (int cycle = 0; cycle < Cycles; ++cycle) {
        ASSERT_TRUE(LoadAndFree()) << "cycle " << cycle;
    }
    const uint64_t heapAfter = HeapBytesInUse();
    const DWORD slotAfter = FirstFreeTlsIndex();
    const HandleCensus handlesAfter = HandleCensus::Take();
    std::printf("%s, %d loads: handles {%s} -> {%s}; first free TLS index %lu -> %lu; heap %llu -> %llu bytes\n",
                GetParam(), Cycles, handlesBefore.Describe().c_str(), handlesAfter.Describe().c_str(),
                static_cast<unsigned long>(slotBefore), static_cast<unsigned long>(slotAfter),
                static_cast<unsigned long long>(heapBefore), static_cast<unsigned long long>(heapAfter));

    EXPECT_EQ(handlesAfter.Describe(), handlesBefore.Describe());
    EXPECT_EQ(slotAfter, slotBefore);
    // Below one byte a load: the system's own caches may move by a few blocks.
    EXPECT_LT(heapAfter, heapBefore + Cycles);
}

INSTANTIATE_TEST_SUITE_P(ShippedDlls, LoadCycleTest, testing::Values("VLEXIF.dll", "VkExf.dll", "Vlexifres.dll"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param, std::strcspn(info.param, "."));
                         });

// A conversion compresses on several threads within its one call: loaded,
// converting a page of several strips and unloaded again, the converter
// keeps no thread, handle, slot or heap.
TEST(ConverterLoadCycle, ConversionsBetweenLoadAndUnloadKeepNothing)
{
    TestTempDir temp;
    const std::string spool = temp.Path() + "page.bmp";
    WriteWholeFile(spool, vkexf::test::MakeBmp({false, 600, 1200}, [](uint32_t x, uint32_t y) {
                       return vkexf::test::Rgb{uint8_t(x), uint8_t(y), uint8_t(x ^ y)};
                   }));
    vkexf::JobDestination job = {};
    std::snprintf(job.outputPath, sizeof job.outputPath, "%spage.jpg", temp.Path().c_str());
    const auto convert = [&] {
        const HMODULE module = LoadLibraryA((Stage("stage-shipped") + "VkExf.dll").c_str());
        const auto entry = module
            ? reinterpret_cast<VkExfEntryProc>(reinterpret_cast<void*>(GetProcAddress(module, VkExfEntryName)))
            : nullptr;
        const bool converted = entry && (entry("tests", &job, spool.c_str(), 75) & 0xFFFF) == 0;
        return module && FreeLibrary(module) && converted;
    };
    ASSERT_TRUE(convert());
    const HandleCensus handlesBefore = HandleCensus::Take();
    const DWORD slotBefore = FirstFreeTlsIndex();
    const uint64_t heapBefore = HeapBytesInUse();
    const size_t threadsBefore = ThreadsOfThisProcess();
    for (int cycle = 0; cycle < 20; ++cycle) {
        ASSERT_TRUE(convert()) << "cycle " << cycle;
    }
    EXPECT_EQ(HandleCensus::Take().Describe(), handlesBefore.Describe());
    EXPECT_EQ(FirstFreeTlsIndex(), slotBefore);
    EXPECT_LT(HeapBytesInUse(), heapBefore + 20 * 1024);
    EXPECT_EQ(ThreadsOfThisProcess(), threadsBefore);
}

} // namespace
} // namespace vlexif
