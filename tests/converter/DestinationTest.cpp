#include "converter/files/Destination.h"

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
    Destination destination;
    ASSERT_TRUE(ReadDestination(record.get(), destination));
    EXPECT_STREQ(destination.path, "C:\\Scans\\page.jpg");
    EXPECT_EQ(destination.make, std::string(64, 'M'));
    EXPECT_EQ(destination.model, std::string(64, 'Z'));

    record->make[0] = record->model[0] = '\0';
    ASSERT_TRUE(ReadDestination(record.get(), destination));
    EXPECT_STREQ(destination.make, "");
    EXPECT_STREQ(destination.model, "");
}

TEST(Destination, RefusesMissingEmptyOrUnterminatedPath)
{
    JobDestination record = {};
    Destination destination;
    EXPECT_FALSE(ReadDestination(nullptr, destination));
    EXPECT_FALSE(ReadDestination(&record, destination));
    std::memset(record.outputPath, 'a', sizeof record.outputPath);
    EXPECT_FALSE(ReadDestination(&record, destination));
}

} // namespace
} // namespace vkexf
