// The plug-in's classes linked into the test program need what the DLL's load
// would give them: a module beside which the converter lies, and the texts,
// loaded as the DLL loads them.
#include "tests/support/TestSupport.h"
#include "win32/Module.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    HMODULE resources =
        LoadLibraryExA((vlexif::test::Stage("stage") + "Vlexifres.dll").c_str(), nullptr, vlexif::ResourceLibraryLoad);
    vlexif::SetModuleHandles(GetModuleHandleA(nullptr), resources);
    return RUN_ALL_TESTS();
}
