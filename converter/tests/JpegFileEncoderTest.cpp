#include "converter/ConverterStatus.h"
#include "converter/FileHandle.h"
#include "converter/JpegFileEncoder.h"

#include <gtest/gtest.h>

namespace vkexf {
namespace {

// A failed write inside libjpeg must come out as a status, through its
// longjmp, with the encoder still destructible.
TEST(JpegFileEncoder, FailedWriteBecomesStatus)
{
    char folder[MAX_PATH], path[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    ASSERT_TRUE(GetTempFileNameA(folder, "vkt", 0, path));
    Status status = StatusOk;
    {
        FileHandle readOnly(CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        JpegSettings settings;
        settings.width = 8;
        settings.height = 1;
        uint8_t pixels[8 * 3] = {};
        uint8_t* row = pixels;
        JpegFileEncoder encoder(readOnly.get());
        status = encoder.Start(settings);
        if (status == StatusOk)
            status = encoder.WriteRows(&row, 1);
        if (status == StatusOk)
            status = encoder.Finish();
        EXPECT_EQ(encoder.writeError(), DWORD{ERROR_ACCESS_DENIED});
    }
    DeleteFileA(path);
    EXPECT_EQ(status, StatusWriteFailed);
}

} // namespace
} // namespace vkexf
