#include "converter/Destination.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace vkexf {
namespace {

class DestinationTest : public ::testing::Test {
protected:
    JobDestination record_ = {};
};

TEST_F(DestinationTest, ReadsPathMakeAndModel)
{
    std::strcpy(record_.outputPath, "C:\\Scans\\page.jpg");
    std::strcpy(record_.make, "Varlo");
    std::strcpy(record_.model, "VS-400");
    const auto destination = ReadDestination(&record_);
    ASSERT_TRUE(destination);
    EXPECT_EQ(destination->path, "C:\\Scans\\page.jpg");
    EXPECT_EQ(destination->make, "Varlo");
    EXPECT_EQ(destination->model, "VS-400");
}

TEST_F(DestinationTest, EmptyMakeAndModelAreAbsent)
{
    std::strcpy(record_.outputPath, "a.jpg");
    const auto destination = ReadDestination(&record_);
    ASSERT_TRUE(destination);
    EXPECT_TRUE(destination->make.empty());
    EXPECT_TRUE(destination->model.empty());
}

TEST_F(DestinationTest, RefusesMissingOrEmptyPath)
{
    EXPECT_FALSE(ReadDestination(nullptr));
    EXPECT_FALSE(ReadDestination(&record_));
}

TEST_F(DestinationTest, RefusesPathWithoutTerminator)
{
    std::memset(record_.outputPath, 'a', sizeof record_.outputPath);
    EXPECT_FALSE(ReadDestination(&record_));
}

TEST_F(DestinationTest, FullMakeFieldStopsAtItsEnd)
{
    std::strcpy(record_.outputPath, "a.jpg");
    std::memset(record_.make, 'M', sizeof record_.make);
    std::strcpy(record_.model, "next");
    const auto destination = ReadDestination(&record_);
    ASSERT_TRUE(destination);
    EXPECT_EQ(destination->make, std::string(64, 'M'));
    EXPECT_EQ(destination->model, "next");
}

TEST_F(DestinationTest, FullModelFieldDoesNotReadBeyondRecord)
{
    std::strcpy(record_.outputPath, "a.jpg");
    // Under ASan a read past the record's end would fail the test.
    auto exact = std::make_unique<JobDestination>(record_);
    std::memset(exact->model, 'Z', sizeof exact->model);
    const auto destination = ReadDestination(exact.get());
    ASSERT_TRUE(destination);
    EXPECT_EQ(destination->model, std::string(64, 'Z'));
}

} // namespace
} // namespace vkexf
