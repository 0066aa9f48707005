#include "host/CommandLine.h"

#include <gtest/gtest.h>

namespace vlscan {
namespace {

ParseResult Parse(std::vector<std::string> args)
{
    return ParseCommandLine(args);
}

TEST(CommandLine, ScanDefaults)
{
    const ParseResult result = Parse({"scan", "in.png", "out.jpg"});
    ASSERT_TRUE(result.command) << result.error;
    const ScanOptions& scan = result.command->scan;
    EXPECT_EQ(result.command->kind, CommandKind::Scan);
    EXPECT_EQ(scan.input, "in.png");
    EXPECT_EQ(scan.output, "out.jpg");
    EXPECT_FALSE(scan.format);
    EXPECT_EQ(scan.dpi, 300u);
    EXPECT_EQ(scan.order, BlockOrder::TopDown);
    EXPECT_FALSE(scan.rate);
    EXPECT_FALSE(scan.colourMode);
    EXPECT_EQ(scan.dither, Dither::Auto);
    EXPECT_TRUE(scan.make.empty());
}

TEST(CommandLine, ScanOptionsAnywhereOnTheLine)
{
    const ParseResult result =
        Parse({"scan",    "--format", "indexed4", "in.png",   "--dpi",    "600",    "--block-lines",
               "17",      "--order",  "random",   "--seed",   "9",        "--rate", "5",
               "--make",  "Varlo",    "--model",  "VS-1",     "--dither", "none",   "--reference",
               "ref.ppm", "--stats",  "--quiet",  "--colour", "exact",    "out.jpg"});
    ASSERT_TRUE(result.command) << result.error;
    const ScanOptions& scan = result.command->scan;
    EXPECT_EQ(scan.input, "in.png");
    EXPECT_EQ(scan.output, "out.jpg");
    EXPECT_EQ(scan.format, HostFormat::Indexed4);
    EXPECT_EQ(scan.dpi, 600u);
    EXPECT_EQ(scan.blockLines, 17u);
    EXPECT_EQ(scan.order, BlockOrder::Random);
    EXPECT_EQ(scan.seed, 9u);
    EXPECT_EQ(scan.rate, 5u);
    EXPECT_EQ(scan.colourMode, 1u);
    EXPECT_EQ(scan.make, "Varlo");
    EXPECT_EQ(scan.model, "VS-1");
    EXPECT_EQ(scan.dither, Dither::None);
    EXPECT_EQ(scan.referencePath, "ref.ppm");
    EXPECT_TRUE(scan.stats);
    EXPECT_TRUE(scan.quiet);
}

TEST(CommandLine, TheRefusedGreyFormatIsAcceptedButNotOffered)
{
    const ParseResult result = Parse({"scan", "a", "b", "--format", "gray4"});
    ASSERT_TRUE(result.command) << result.error;
    EXPECT_EQ(result.command->scan.format, HostFormat::Gray4);
    EXPECT_EQ(UsageText().find("gray4"), std::string::npos);
}

TEST(CommandLine, BadValuesAreRefusedWithTheirLimits)
{
    struct Case {
        std::vector<std::string> args;
        const char* inError;
    } const cases[] = {
        {{"scan", "a", "b", "--rate", "101"}, "0..100"},
        {{"scan", "a", "b", "--rate", "-1"}, "0..100"},
        {{"scan", "a", "b", "--rate", "7x"}, "0..100"},
        {{"scan", "a", "b", "--dpi", "0"}, "1..65535"},
        {{"scan", "a", "b", "--block-lines", "0"}, "1..1000000"},
        {{"scan", "a", "b", "--format", "cmyk"}, "rgb24|rgb48"},
        {{"scan", "a", "b", "--order", "sideways"}, "bad --order 'sideways': top-down, bottom-up or random"},
        {{"scan", "a", "b", "--dither", "random"}, "bad --dither 'random': auto, none, ordered or diffusion"},
        {{"scan", "a", "b", "--make", std::string(64, 'm')}, "63"}, // 63 and the NUL fill the field
        {{"scan", "a", "b", "--rate"}, "needs a value"},
        {{"scan", "a", "b", "--colour", "grey"}, "bad --colour 'grey': auto, exact or colour"},
        {{"scan", "a", "b", "--color", "exact"}, "unknown option --color"},
        {{"scan", "-q", "a", "b"}, "unknown option -q"},
        {{"scan", "a", "b", "--dpi", "300", "--dpi", "600"}, "--dpi is given more than once"},
        {{"scan", "a", "b", "--quiet", "--quiet"}, "--quiet is given more than once"},
        {{"scan"}, "scan needs an input and an output file"},
        {{"scan", "a", "--dpi", "5"}, "scan needs an input and an output file"},
        {{"scan", "a", "b", "c", "--quiet", "d"}, "too many arguments: c d"},
        {{"scan", "", "b"}, "the input file name is empty"},
        {{"scan", "a", ""}, "the output file name is empty"},
        {{"describe", "x"}, "no arguments"},
        {{"--version", "x"}, "no arguments"},
        {{"print"}, "unknown command"},
    };
    for (const Case& c : cases) {
        const ParseResult result = ParseCommandLine(c.args);
        EXPECT_FALSE(result.command) << c.inError;
        EXPECT_NE(result.error.find(c.inError), std::string::npos) << result.error;
    }
}

// The parser, the usage and the refusal read one table per option.
TEST(CommandLine, EveryNamedValueParsesAndIsListed)
{
    for (const auto& row : BlockOrderNames) {
        const ParseResult result = Parse({"scan", "a", "b", "--order", row.name});
        ASSERT_TRUE(result.command) << row.name;
        EXPECT_EQ(result.command->scan.order, row.value);
    }
    for (const auto& row : DitherNames) {
        const ParseResult result = Parse({"scan", "a", "b", "--dither", row.name});
        ASSERT_TRUE(result.command) << row.name;
        EXPECT_EQ(result.command->scan.dither, row.value);
    }
    EXPECT_FALSE(Parse({"scan", "a", "b", "--order", "Random"}).command) << "names are matched exactly";
    const std::string usage = ScanUsageText();
    EXPECT_NE(usage.find("--order top-down|bottom-up|random "), std::string::npos) << usage;
    EXPECT_NE(usage.find("--dither auto|none|ordered|diffusion\n"), std::string::npos) << usage;
}

TEST(CommandLine, NamesAfterTheEndOfTheOptionsMayBeginWithADash)
{
    const ParseResult result = Parse({"scan", "--quiet", "--", "-in.png", "--help"});
    ASSERT_TRUE(result.command) << result.error;
    EXPECT_EQ(result.command->kind, CommandKind::Scan);
    EXPECT_EQ(result.command->scan.input, "-in.png");
    EXPECT_EQ(result.command->scan.output, "--help");
    EXPECT_EQ(Parse({"scan", "-", "out.jpg"}).command->scan.input, "-");
}

TEST(CommandLine, OtherCommands)
{
    EXPECT_EQ(Parse({"describe"}).command->kind, CommandKind::Describe);
    EXPECT_EQ(Parse({"configure"}).command->kind, CommandKind::Configure);
    EXPECT_EQ(Parse({"about"}).command->kind, CommandKind::About);
    EXPECT_EQ(Parse({"--version"}).command->kind, CommandKind::Version);
    EXPECT_EQ(Parse({"--help"}).command->kind, CommandKind::Help);
}

TEST(CommandLine, AnEmptyLineIsAUsageErrorWithoutAMessage)
{
    const ParseResult result = Parse({});
    EXPECT_FALSE(result.command);
    EXPECT_TRUE(result.error.empty());
}

TEST(CommandLine, ScanHelpWinsOverEverythingElseOnTheLine)
{
    EXPECT_EQ(Parse({"scan", "--help"}).command->kind, CommandKind::ScanHelp);
    EXPECT_EQ(Parse({"scan", "a", "--rate", "500", "-h"}).command->kind, CommandKind::ScanHelp);
    // The rate outlives the scan: the help must say so, and what applies without it.
    const std::string usage = ScanUsageText();
    EXPECT_NE(usage.find("later scans"), std::string::npos);
    EXPECT_NE(usage.find("75 if none"), std::string::npos);
    // What the converter writes for a rate of 100, and every status the program ends with.
    EXPECT_NE(usage.find("1 for a rate of 100"), std::string::npos);
    EXPECT_EQ(QualityOf(100), 1u);
    EXPECT_EQ(QualityOf(DefaultCompressRate), 25u);
    for (const int status : {ExitDone, ExitFailed, ExitUsage, ExitInterruptedLate, ExitInterrupted}) {
        EXPECT_NE(UsageText().find("\n  " + std::to_string(status) + " "), std::string::npos) << status;
    }
}

} // namespace
} // namespace vlscan
