#include "converter/ConverterStatus.h"
#include "converter/FileHandle.h"
#include "converter/JpegFileEncoder.h"
#include "converter/tests/TestFolder.h"

#include <gtest/gtest.h>

namespace vkexf {
namespace {

Status EncodeOneRowInto(HANDLE file)
{
    JpegSettings settings;
    settings.width = 8;
    settings.height = 1;
    uint8_t pixels[8 * 3] = {};
    uint8_t* row = pixels;
    try {
        JpegFileEncoder encoder(file);
        encoder.Start(settings);
        encoder.WriteRows(&row, 1);
        encoder.Finish();
    } catch (const ConverterError& error) {
        return error.status();
    }
    return StatusOk;
}

TEST(JpegFileEncoder, FailedWriteBecomesStatus)
{
    test::TestFolder folder;
    const auto path = folder.Write("read-only-handle.jpg", {});
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file.valid());
    EXPECT_EQ(EncodeOneRowInto(file.get()), StatusWriteFailed);
}

TEST(JpegFileEncoder, LibjpegErrorBecomesStatus)
{
    test::TestFolder folder;
    const auto path = folder.Write("out.jpg", {});
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file.valid());
    JpegFileEncoder encoder(file.get());
    JpegSettings empty; // zero width: libjpeg refuses to start
    try {
        encoder.Start(empty);
        FAIL() << "started with no image";
    } catch (const ConverterError& error) {
        EXPECT_EQ(error.status(), StatusWriteFailed);
    }
}

} // namespace
} // namespace vkexf
