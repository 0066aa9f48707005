// The host's command line: which command, and for a scan its input, output
// and options, checked against the limits of the host's records.
// Platform-free.
#pragma once

#include "host/job/BlockPlan.h"
#include "host/picture/Dithering.h"
#include "host/picture/HostFormat.h"
#include "interface/JobDestination.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vlscan {

// The plug-in's colour modes, as its compression dialog stores them: the
// converter's VkExfColourMode values (asserted where vlscan stores one).
inline constexpr NamedValue<uint32_t> ColourModeNames[] = {{"auto", 0}, {"exact", 1}, {"colour", 2}};

struct ScanOptions {
    std::string input;
    std::string output;
    std::optional<HostFormat> format; // none: rgb24 for colour input, gray8 for grey
    uint32_t dpi = 300;
    uint32_t blockLines = 64;
    BlockOrder order = BlockOrder::TopDown;
    uint32_t seed = 1;
    std::optional<uint32_t> rate;
    std::optional<uint32_t> colourMode; // one of ColourModeNames' values
    std::string make;
    std::string model;
    Dither dither = Dither::Auto;
    std::string referencePath; // where to write the picture sent, if anywhere
    bool stats = false;
    bool quiet = false;
};

// Help prints every command's usage, ScanHelp the scan command's.
enum class CommandKind { Scan, Describe, Configure, About, Version, Help, ScanHelp };

struct Command {
    CommandKind kind = CommandKind::Help;
    ScanOptions scan;
};

struct [[nodiscard]] ParseResult {
    std::optional<Command> command;
    std::string error; // why there is no command; empty for an empty command line
};

// `args` excludes the program name.
ParseResult ParseCommandLine(const std::vector<std::string>& args);

// The compression rate the plug-in applies when none was ever stored.
constexpr uint32_t DefaultCompressRate = 75;

// The JPEG quality a compression rate gives: the plug-in asks the converter
// for 100 - rate, and the converter writes no quality below 1.
constexpr uint32_t QualityOf(uint32_t rate)
{
    return rate >= 99 ? 1 : 100 - rate;
}

// The program's exit statuses, as UsageText lists them.
constexpr int ExitDone = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;
// An interrupt that came while the converter wrote: too late to stop the
// JPEG, which was written in full; told apart from both success and abort.
constexpr int ExitInterruptedLate = 3;
// The output could not be replaced (another program kept it open): the old
// file is intact and the new page was saved beside it, as the message says.
constexpr int ExitSavedBeside = 4;
constexpr int ExitInterrupted = 130;

std::string UsageText();
// The release this host belongs to, the version its files' resources carry.
std::string VersionText();
std::string ScanUsageText();
std::string ExitStatusText();

// Longest make or model text: the record's field keeps a terminating NUL.
constexpr size_t MaxMakeLength = sizeof(vkexf::JobDestination::make) - 1;
static_assert(sizeof(vkexf::JobDestination::model) == sizeof(vkexf::JobDestination::make),
              "one limit serves make and model");
static_assert(MaxMakeLength == 63, "the help and error texts say 63");

} // namespace vlscan
