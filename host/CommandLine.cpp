#include "host/CommandLine.h"

#include "ProjectVersion.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <set>

namespace vlscan {

namespace {

std::optional<uint32_t> ParseNumber(const std::string& text, uint32_t low, uint32_t high)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 9) {
        return std::nullopt;
    }
    const unsigned long value = std::strtoul(text.c_str(), nullptr, 10);
    if (value < low || value > high) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

// Applies one "--name value" or "--flag"; returns the error, empty on success.
std::string ApplyOption(ScanOptions& scan, const std::string& name, const std::vector<std::string>& args, size_t& i)
{
    if (name == "--stats") {
        scan.stats = true;
        return {};
    }
    if (name == "--quiet") {
        scan.quiet = true;
        return {};
    }
    static const char* const Valued[] = {"--format", "--dpi",  "--block-lines", "--order",  "--seed",     "--rate",
                                         "--colour", "--make", "--model",       "--dither", "--reference"};
    if (std::find(std::begin(Valued), std::end(Valued), name) == std::end(Valued)) {
        return "unknown option " + name;
    }
    if (i + 1 >= args.size()) {
        return name + " needs a value";
    }
    const std::string& value = args[++i];
    const auto bad = [&](const char* what) { return "bad " + name + " '" + value + "': " + what; };
    if (name == "--format") {
        scan.format = ParseFormat(value);
        return scan.format ? std::string() : bad(("one of " + ListedFormatNames()).c_str());
    }
    if (name == "--dpi") {
        const auto dpi = ParseNumber(value, 1, 65535);
        scan.dpi = dpi.value_or(0);
        return dpi ? std::string() : bad("1..65535");
    }
    if (name == "--block-lines") {
        const auto lines = ParseNumber(value, 1, 1000000);
        scan.blockLines = lines.value_or(0);
        return lines ? std::string() : bad("1..1000000");
    }
    if (name == "--order") {
        const auto order = ParseNamed(BlockOrderNames, value);
        scan.order = order.value_or(BlockOrder::TopDown);
        return order ? std::string() : bad(NamesInWords(BlockOrderNames).c_str());
    }
    if (name == "--seed") {
        const auto seed = ParseNumber(value, 0, 999999999);
        scan.seed = seed.value_or(0);
        return seed ? std::string() : bad("a number");
    }
    if (name == "--rate") {
        scan.rate = ParseNumber(value, 0, 100);
        return scan.rate ? std::string() : bad("0..100");
    }
    if (name == "--colour") {
        scan.colourMode = ParseNamed(ColourModeNames, value);
        return scan.colourMode ? std::string() : bad(NamesInWords(ColourModeNames).c_str());
    }
    if (name == "--make" || name == "--model") {
        if (value.size() > MaxMakeLength) {
            return bad("at most 63 characters");
        }
        (name == "--make" ? scan.make : scan.model) = value;
        return {};
    }
    if (name == "--dither") {
        const auto dither = ParseNamed(DitherNames, value);
        scan.dither = dither.value_or(Dither::Auto);
        return dither ? std::string() : bad(NamesInWords(DitherNames).c_str());
    }
    scan.referencePath = value;
    return {};
}

ParseResult ParseScan(const std::vector<std::string>& args)
{
    Command command;
    command.kind = CommandKind::Scan;
    // "--" ends the options: a file name after it may begin with a dash.
    const auto optionsEnd = std::find(args.begin() + 1, args.end(), "--");
    // A call for help is answered even on a line that is wrong otherwise.
    if (std::any_of(args.begin() + 1, optionsEnd,
                    [](const std::string& arg) { return arg == "--help" || arg == "-h"; })) {
        command.kind = CommandKind::ScanHelp;
        return {command, {}};
    }
    std::vector<std::string> positional;
    std::set<std::string> given;
    const auto end = static_cast<size_t>(optionsEnd - args.begin());
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // Before the end of the options, all but a lone "-" that begins with
        // a dash is an option, known or not.
        if (i < end && arg.size() > 1 && arg[0] == '-') {
            if (!given.insert(arg).second) {
                return {std::nullopt, arg + " is given more than once"};
            }
            std::string error = ApplyOption(command.scan, arg, args, i);
            if (!error.empty()) {
                return {std::nullopt, error};
            }
        } else if (i != end) {
            positional.push_back(arg);
        }
    }
    if (positional.size() < 2) {
        return {std::nullopt, "scan needs an input and an output file"};
    }
    if (positional[0].empty() || positional[1].empty()) {
        return {std::nullopt, positional[0].empty() ? "the input file name is empty" : "the output file name is empty"};
    }
    if (positional.size() > 2) {
        std::string extra;
        for (size_t i = 2; i < positional.size(); ++i) {
            extra += (i > 2 ? " " : "") + positional[i];
        }
        return {std::nullopt, "too many arguments: " + extra};
    }
    command.scan.input = positional[0];
    command.scan.output = positional[1];
    return {command, {}};
}

} // namespace

ParseResult ParseCommandLine(const std::vector<std::string>& args)
{
    if (args.empty()) {
        return {};
    }
    if (args[0] == "help" || args[0] == "--help" || args[0] == "-h") {
        return {Command{}, {}};
    }
    if (args[0] == "scan") {
        return ParseScan(args);
    }
    const struct {
        const char* name;
        CommandKind kind;
    } plain[] = {{"describe", CommandKind::Describe},
                 {"configure", CommandKind::Configure},
                 {"about", CommandKind::About},
                 {"--version", CommandKind::Version}};
    for (const auto& entry : plain) {
        if (args[0] == entry.name) {
            if (args.size() != 1) {
                return {std::nullopt, args[0] + " takes no arguments"};
            }
            Command command;
            command.kind = entry.kind;
            return {command, {}};
        }
    }
    return {std::nullopt, "unknown command '" + args[0] + "'"};
}

std::string UsageText()
{
    return "usage:\n"
           "  vlscan scan INPUT OUTPUT [options]   scan a picture file through VLEXIF.dll into a JPEG\n"
           "  vlscan describe                      print how the plug-in describes itself, and its settings\n"
           "  vlscan configure                     open the plug-in's compression dialog (needs a display)\n"
           "  vlscan about                         open the plug-in's about box (needs a display)\n"
           "  vlscan --version                     print the version of this release\n"
           "\n" +
        ScanUsageText() + "\n" + ExitStatusText();
}

std::string ExitStatusText()
{
    return "exit status:\n"
           "  0    done: the JPEG was written\n"
           "  1    refused or failed, with the reason on stderr; a scan wrote no JPEG\n"
           "  2    the command line is wrong\n"
           "  3    interrupted while the converter wrote the JPEG: the page had been\n"
           "       handed to it already, and the JPEG was written in full\n"
           "  4    the output was in use by another program: it is unchanged, and the\n"
           "       new JPEG was saved beside it under the name the message gives\n"
           "  130  interrupted (Ctrl+C, Ctrl+Break, the console closed): the job was\n"
           "       aborted and no JPEG written\n";
}

std::string VersionText()
{
    return "vlscan " VLEXIF_VERSION_TEXT "\n";
}

std::string ScanUsageText()
{
    return "vlscan scan INPUT OUTPUT [options]\n"
           "INPUT is a PNG (8 or 16 bit), JPEG, BMP or PNM file; OUTPUT is the JPEG to write,\n"
           "which must not be INPUT.\n"
           "scan options:\n"
           "  --format " +
        ListedFormatNames() +
        "\n"
        "                       pixel format sent (default rgb24, gray8 for grey input)\n"
        "  --dpi N              resolution sent (default 300)\n"
        "  --block-lines N      lines per block (default 64)\n"
        "  --order " +
        NamesInUsage(BlockOrderNames) +
        "   order of the blocks (default top-down)\n"
        "  --seed N             shuffle of --order random (default 1)\n"
        "  --rate R             compression rate 0..100, stored for this and later scans as\n"
        "                       confirming it in the compression dialog does; without it the\n"
        "                       stored rate applies, 75 if none was ever stored. The JPEG's\n"
        "                       quality is 100 - R, and 1 for a rate of 100 (its lowest)\n"
        "  --colour " +
        NamesInUsage(ColourModeNames) +
        "\n"
        "                       which pages are saved grey, stored for this and later scans\n"
        "                       as the compression dialog stores it: auto those whose colour\n"
        "                       is only the scanner's noise and the paper's tint, exact those\n"
        "                       whose every pixel is grey, colour none. Without it the stored\n"
        "                       mode applies, auto if none was ever stored\n"
        "  --make TEXT          EXIF Make (at most 63 characters)\n"
        "  --model TEXT         EXIF Model (at most 63 characters)\n"
        "  --dither " +
        NamesInUsage(DitherNames) +
        "\n"
        "                       how palette and bilevel formats are reduced (default auto:\n"
        "                       diffusion for 1-bit formats, ordered for the others)\n"
        "  --reference FILE     also write the picture sent, as the plug-in should see it,\n"
        "                       as an 8-bit PPM\n"
        "  --stats              print the time spent in the plug-in and the converter,\n"
        "                       the peak memory, and the row kernels' level and variants\n"
        "  --quiet              no progress bar\n"
        "  --help               this text\n"
        "A file name that begins with a dash goes after \"--\", which ends the options.\n";
}

} // namespace vlscan
