// The tests that stand between a stored "TempFile" value and DeleteFile: only
// a GetTempFileName "~TF" name directly inside the temporary directory, or on
// a lettered drive, may pass, every name the plug-in makes there must, and
// only a head that BeginImage could have written, at its exact size.
#include "fuzz/HostValues.h"
#include "spool/BmpHeaderBuilder.h"
#include "spool/SpoolHead.h"
#include "spool/SpoolName.h"
#include "tests/support/FormatReference.h"

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

namespace vlexif::fuzz {
namespace {

bool SameLetters(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// "~TF", one to four hex digits, ".tmp", by a second reading of the rule.
bool LooksMade(const std::string& name)
{
    const size_t dot = name.find('.');
    if (dot == std::string::npos || dot < 4 || dot > 7 || !SameLetters(name.substr(0, 3), "~TF") ||
        !SameLetters(name.substr(dot), ".tmp")) {
        return false;
    }
    return std::all_of(name.begin() + 3, name.begin() + static_cast<std::ptrdiff_t>(dot),
                       [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

// The lead byte ranges of a single-byte code page, of 932 and of 950.
struct CodePage {
    uint8_t ranges[6];
    bool IsLead(char c) const
    {
        const auto byte = static_cast<uint8_t>(c);
        return (byte >= ranges[0] && byte <= ranges[1] && ranges[0] != 0) ||
            (byte >= ranges[2] && byte <= ranges[3] && ranges[2] != 0);
    }
};
constexpr CodePage CodePages[] = {{{0, 0, 0, 0, 0, 0}}, {{0x81, 0x9F, 0xE0, 0xFC, 0, 0}}, {{0x81, 0xFE, 0, 0, 0, 0}}};

// The text cut into its characters: a lead byte and the byte after it, or
// one byte.
std::vector<std::string> Chars(const std::string& text, const CodePage& page)
{
    std::vector<std::string> chars;
    for (size_t at = 0; at < text.size();) {
        const size_t length = page.IsLead(text[at]) && at + 1 < text.size() ? 2 : 1;
        chars.push_back(text.substr(at, length));
        at += length;
    }
    return chars;
}

// Everything after the last character that is a backslash.
std::string AfterLastBackslash(const std::vector<std::string>& chars)
{
    std::string rest;
    for (const std::string& c : chars) {
        rest = c == "\\" ? std::string() : rest + c;
    }
    return rest;
}

bool OnLetteredDrive(const std::vector<std::string>& chars)
{
    return chars.size() > 3 && chars[0].size() == 1 && std::isalpha(static_cast<unsigned char>(chars[0][0])) &&
        chars[1] == ":" && chars[2] == "\\" &&
        std::none_of(chars.begin() + 2, chars.end(), [](const std::string& c) { return c == ":" || c == "/"; });
}

void CheckNames(FuzzedDataProvider& in)
{
    const CodePage& page = CodePages[in.ConsumeIntegralInRange<size_t>(0, std::size(CodePages) - 1)];
    const LeadBytes lead(page.ranges, sizeof page.ranges);
    std::string dir = in.ConsumeRandomLengthString(300);
    const std::string path = in.ConsumeRandomLengthString(600);
    dir.resize(std::strlen(dir.c_str()));
    // What the plug-in sees of the path: up to its first NUL.
    const std::string shown = path.substr(0, path.find('\0'));
    const std::vector<std::string> dirChars = Chars(dir, page);
    const std::vector<std::string> shownChars = Chars(shown, page);
    const bool dirEndsInBackslash = !dirChars.empty() && dirChars.back() == "\\";

    if (IsSpoolPathIn(dir.c_str(), path.c_str(), lead)) {
        Require(dirEndsInBackslash && shownChars.size() > dirChars.size(),
                "an accepted path is longer than its folder");
        for (size_t k = 0; k < dirChars.size(); ++k) {
            Require(dirChars[k].size() == 1 ? SameLetters(dirChars[k], shownChars[k]) : dirChars[k] == shownChars[k],
                    "an accepted path lies in the directory, character by character");
        }
        Require(LooksMade(shown.substr(dir.size())), "an accepted name is one GetTempFileName makes");
    }
    if (IsDriveSpoolPath(path.c_str(), lead)) {
        Require(OnLetteredDrive(shownChars), "an accepted path is absolute on a lettered drive, without streams");
        Require(LooksMade(AfterLastBackslash(shownChars)), "its name is one GetTempFileName makes");
    }

    // What GetTempFileName makes: the directory, "~TF", hex digits, ".tmp".
    if (dirEndsInBackslash) {
        char made[32];
        const uint16_t unique = in.ConsumeIntegral<uint16_t>();
        std::snprintf(made, sizeof made, in.ConsumeBool() ? "~TF%X.tmp" : "~TF%x.tmp", unique);
        Require(IsSpoolPathIn(dir.c_str(), (dir + made).c_str(), lead), "the plug-in's own names pass");
        if (OnLetteredDrive(Chars(dir + made, page))) {
            Require(IsDriveSpoolPath((dir + made).c_str(), lead), "and still pass once the directory moved");
        }
    }
}

struct DepthAndPalette {
    uint32_t bits, colours;
};

constexpr DepthAndPalette NeverSpooled[] = {{32, 0}, {16, 256}, {8, 16}, {24, 3}};

// The depths and palette areas BeginImage spools, by the reference, then
// some it never does.
std::vector<DepthAndPalette> Pairs()
{
    std::vector<DepthAndPalette> pairs = {{test::RefusedGray4.spoolBits, test::RefusedGray4.colours}};
    for (const test::FormatReference& format : test::AcceptedFormats) {
        pairs.push_back({format.spoolBits, format.colours});
    }
    pairs.insert(pairs.end(), std::begin(NeverSpooled), std::end(NeverSpooled));
    return pairs;
}

// A head accepted at a size is one of the headers BeginImage writes for it,
// and every header BeginImage writes is accepted at its own size.
void CheckHead(FuzzedDataProvider& in)
{
    const std::vector<DepthAndPalette> pairs = Pairs();
    const size_t spooledPairs = pairs.size() - std::size(NeverSpooled);
    const size_t pick = in.ConsumeIntegralInRange<size_t>(0, pairs.size() - 1);
    const auto& pair = pairs[pick];
    const bool info = in.ConsumeBool();
    const HeaderLayout layout = info ? HeaderLayout::Info : HeaderLayout::Core;
    const int32_t width = HostInt(in, 70000);
    const int32_t height = HostInt(in, 70000);
    uint8_t built[HeaderBlockSize] = {};
    (info ? BuildInfoHeaderBytes : BuildCoreHeaderBytes)({0, 0, width, height, pair.bits, pair.colours}, built);
    uint8_t head[SpoolHeadBytes];
    std::memcpy(head, built, sizeof head);
    const bool changed = in.ConsumeBool();
    if (changed) {
        head[in.ConsumeIntegralInRange<size_t>(0, sizeof head - 1)] = in.ConsumeIntegral<uint8_t>();
    }
    uint64_t area = 0;
    const bool spooled = pick < spooledPairs;
    const bool fits = width > 0 && height > 0 && (info || (width <= 0xFFFF && height <= 0xFFFF)) &&
        SpoolFileSizes(PixelDataOffset(layout, pair.colours), width, height, pair.bits, area) && area != 0;
    const uint64_t builtSize = PixelDataOffset(layout, pair.colours) + area;
    if (!changed && spooled && fits) {
        Require(IsSpoolHead(head, builtSize), "BeginImage's own head passes");
    }
    const uint64_t size = !in.ConsumeBool() ? in.ConsumeIntegral<uint64_t>()
        : fits                              ? builtSize
                                            : bmp::Read<bmp::FileHeader>(head).fileSize;
    if (!IsSpoolHead(head, size)) {
        return;
    }
    // Rebuilt from what the head says, for each depth its palette area allows.
    const bmp::CoreHead core = bmp::Read<bmp::CoreHead>(head);
    Require(bmp::SizeField(size) == core.file.fileSize, "the head states the file's size, or 0 past 32 bits");
    bmp::InfoHead infoHead{};
    std::memcpy(&infoHead, head, sizeof head);
    const bool headInfo = core.core.headerSize == bmp::InfoHeaderSize;
    const HeaderLayout headLayout = headInfo ? HeaderLayout::Info : HeaderLayout::Core;
    const uint32_t colours = (core.file.pixelDataOffset - HeaderBytes(headLayout)) / PaletteEntryBytes(headLayout);
    const int32_t headWidth = headInfo ? infoHead.info.width : core.core.width;
    const int32_t headHeight = headInfo ? infoHead.info.height : core.core.height;
    for (size_t k = 0; k < spooledPairs; ++k) {
        if (pairs[k].colours != colours) {
            continue;
        }
        uint8_t rebuilt[HeaderBlockSize] = {};
        (headInfo ? BuildInfoHeaderBytes : BuildCoreHeaderBytes)({0, 0, headWidth, headHeight, pairs[k].bits, colours},
                                                                 rebuilt);
        if (std::memcmp(rebuilt, head, SpoolHeadBytes) == 0) {
            return;
        }
    }
    Require(false, "an accepted head is one BeginImage builds");
}

} // namespace
} // namespace vlexif::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    if (in.ConsumeBool()) {
        vlexif::fuzz::CheckHead(in);
    } else {
        vlexif::fuzz::CheckNames(in);
    }
    return 0;
}
