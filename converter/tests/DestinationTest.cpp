#include "converter/Destination.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace vkexf {
namespace {

TEST(Destination, ReadsEachFieldWithinItsBounds)
{
    // Exactly one record on the heap: under ASan any read past it fails.
    auto record = std::make_unique<JobDestination>();
    std::strcpy(record->outputPath, "C:\\Scans\\page.jpg");
    std::memset(record->make, 'M', sizeof record->make);
    std::memset(record->model, 'Z', sizeof record->model);
    auto destination = ReadDestination(record.get());
    ASSERT_TRUE(destination);
    EXPECT_EQ(destination->path, "C:\\Scans\\page.jpg");
    EXPECT_EQ(destination->make, std::string(64, 'M'));
    EXPECT_EQ(destination->model, std::string(64, 'Z'));

    record->make[0] = record->model[0] = '\0';
    destination = ReadDestination(record.get());
    EXPECT_EQ(destination->make, "");
    EXPECT_EQ(destination->model, "");
}

TEST(Destination, RefusesMissingEmptyOrUnterminatedPath)
{
    JobDestination record = {};
    EXPECT_FALSE(ReadDestination(nullptr));
    EXPECT_FALSE(ReadDestination(&record));
    std::memset(record.outputPath, 'a', sizeof record.outputPath);
    EXPECT_FALSE(ReadDestination(&record));
}

} // namespace
} // namespace vkexf
