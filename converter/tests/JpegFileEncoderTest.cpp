#include "converter/ConverterStatus.h"
#include "converter/FileHandle.h"
#include "converter/JpegFileEncoder.h"

#include <gtest/gtest.h>

namespace vkexf {
namespace {

// A failed write inside libjpeg must come out as a status, through its
// longjmp and the guarded call, with the encoder still destructible.
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
        try {
            JpegFileEncoder encoder(readOnly.get());
            encoder.Start(settings);
            encoder.WriteRows(&row, 1);
            encoder.Finish();
        } catch (const ConverterError& error) {
            status = error.status();
        }
    }
    DeleteFileA(path);
    EXPECT_EQ(status, StatusWriteFailed);
}

} // namespace
} // namespace vkexf
