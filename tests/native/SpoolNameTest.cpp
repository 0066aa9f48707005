#include "spool/SpoolName.h"

#include <gtest/gtest.h>

namespace vlexif {
namespace {

TEST(IsSpoolPathIn, OnlyTildeTfNamesDirectlyInTheTemporaryDirectory)
{
    const char* temp = "C:\\users\\me\\Temp\\";
    EXPECT_TRUE(IsSpoolPathIn(temp, "C:\\users\\me\\Temp\\~TF1A2B.tmp"));
    EXPECT_TRUE(IsSpoolPathIn(temp, "c:\\USERS\\me\\temp\\~tf1.TMP"));
    EXPECT_FALSE(IsSpoolPathIn(temp, "C:\\users\\me\\Temp\\report.doc"));
    EXPECT_FALSE(IsSpoolPathIn(temp, "C:\\users\\me\\Temp\\~TF\\..\\..\\x.doc"));
    EXPECT_FALSE(IsSpoolPathIn(temp, "C:\\users\\me\\Temp\\~TF1/../x"));
    EXPECT_FALSE(IsSpoolPathIn(temp, "C:\\users\\me\\Temp\\"));
    EXPECT_FALSE(IsSpoolPathIn(temp, "C:\\users\\me\\Tempo\\~TF1.tmp"));
    EXPECT_FALSE(IsSpoolPathIn(temp, "D:\\~TF1.tmp"));
    EXPECT_FALSE(IsSpoolPathIn(temp, ""));
    EXPECT_FALSE(IsSpoolPathIn("", "~TF1.tmp"));
    EXPECT_FALSE(IsSpoolPathIn("C:\\Temp", "C:\\Temp~TF1.tmp"));
}

} // namespace
} // namespace vlexif
