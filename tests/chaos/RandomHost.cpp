#include "tests/chaos/RandomHost.h"

#include <algorithm>
#include <cstring>

namespace vlexif::chaos {

namespace {

struct Layout {
    uint32_t bits, samples, colourType;
};

// The eight formats the plug-in takes, then 4-bit grey, which it refuses.
constexpr Layout Layouts[] = {
    {24, 3, 2}, {48, 3, 2}, {8, 1, 1}, {16, 1, 1}, {8, 1, 3}, {4, 1, 3}, {1, 1, 3}, {1, 1, 0}, {4, 1, 1},
};

// Spool files stay below this, so that thousands of jobs run in minutes.
constexpr uint64_t MaxSpoolBytes = 16u << 20;
// Host buffers stay below this.
constexpr uint64_t MaxBlockBytes = 8u << 20;

constexpr uint32_t FormatCodes[] = {0, 1024, 1048, 2004, 2008, 2016, 3001, 3004, 3008, 4000, 5, 0xFFFFFFFF};

uint64_t Stride(uint64_t width, uint64_t bits)
{
    return ((width * bits + 31) >> 3) & ~uint64_t{3};
}

ImageDescription& DescriptionIn(test::HostRecords& records)
{
    return *reinterpret_cast<ImageDescription*>(records.image);
}

} // namespace

RandomHost::RandomHost(std::mt19937& random, test::HostRecords& records, const test::TestRegistryKey& key,
                       const Sandbox& sandbox, bool windowed)
    : random(random), records(records), key(key), sandbox(sandbox), windowed(windowed)
{
}

int32_t RandomHost::AnyInt()
{
    constexpr int32_t Extremes[] = {INT32_MIN, INT32_MAX, -1, 0x40000000, 0x0AAAAAAB, 65535, 65536, 0x7FFFFFF0};
    switch (random() % 10) {
    case 0:
        return 0;
    case 1:
        return -static_cast<int32_t>(random() % 64) - 1;
    case 2:
        return Extremes[random() % std::size(Extremes)];
    case 3:
        return static_cast<int32_t>(random());
    case 4:
    case 5:
        return static_cast<int32_t>(random() % 5000);
    default:
        return static_cast<int32_t>(random() % 65);
    }
}

uint32_t RandomHost::PickCommand()
{
    struct Weighted {
        uint32_t command;
        uint32_t weight;
    };
    const Weighted table[] = {
        {CmdDescribe, 6},
        {CmdConfigure, windowed ? 2u : 0u},
        {CmdCheckFormat, 12},
        {CmdSetPalette, 9},
        {CmdBeginImage, 12},
        {CmdWriteBlock, 35},
        {CmdFinish, 8},
        {CmdAbort, 6},
        {CmdAbout, windowed ? 1u : 0u},
    };
    uint32_t total = 0;
    for (const Weighted& w : table) {
        total += w.weight;
    }
    if (random() % 50 == 0) {
        // Outside the table, or a known command with high bits set.
        const uint32_t odd[] = {9,
                                42,
                                0x7FFF,
                                0x8000,
                                0xFFFF,
                                0xFFFFFFFF,
                                0x10000u | CmdWriteBlock,
                                0xABCD0000u | CmdAbort,
                                0x20000u | CmdCheckFormat};
        return odd[random() % std::size(odd)];
    }
    uint32_t pick = random() % total;
    for (const Weighted& w : table) {
        if (pick < w.weight) {
            return w.command;
        }
        pick -= w.weight;
    }
    return CmdAbort;
}

bool RandomHost::DescriptionTooLarge() const
{
    const ImageDescription& d = DescriptionIn(records);
    if (d.width < 0 || d.height < 0) {
        return false;
    }
    // The spool file is 24-bit, or as deep as the description says for RGB.
    const uint64_t stride = Stride(static_cast<uint32_t>(d.width), std::max<uint32_t>(24, d.bitsPerPixel & 0xFFFF));
    const uint64_t area = stride * static_cast<uint32_t>(d.height);
    return area > MaxSpoolBytes && area < (uint64_t{1} << 31);
}

void RandomHost::Describe(bool inJob, std::string& note)
{
    ImageDescription& d = DescriptionIn(records);
    if (inJob && described) {
        d = description;
        note = "the same image again";
        return;
    }
    // A job's image is mostly one the plug-in takes.
    const uint32_t choice = random() % (inJob ? 40 : 10);
    if (choice >= 8) {
        const Layout& layout = Layouts[random() % (std::size(Layouts) - 1)];
        d.bitsPerPixel = layout.bits;
        d.samplesPerPixel = layout.samples;
        d.colourType = layout.colourType;
    } else if (choice < 6) {
        const Layout& layout = Layouts[random() % std::size(Layouts)];
        d.bitsPerPixel = layout.bits;
        d.samplesPerPixel = layout.samples;
        d.colourType = layout.colourType;
    } else {
        const uint32_t bits[] = {0, 2, 3, 5, 12, 32, 64, 0xFFFF, 0x10018, random()};
        d.bitsPerPixel = bits[random() % std::size(bits)];
        d.samplesPerPixel = random() % 5;
        d.colourType = random() % 6;
    }
    d.mustBeZero = random() % (inJob ? 80 : 20) == 0 ? random() : 0;
    const uint32_t dpis[] = {0, 72, 300, 600, 0xFFFFFFFF, random()};
    d.xDpi = dpis[random() % std::size(dpis)];
    d.yDpi = dpis[random() % std::size(dpis)];
    auto side = [this, inJob]() {
        return random() % (inJob ? 20 : 4) != 0 ? static_cast<int32_t>(1 + random() % 300) : AnyInt();
    };
    d.width = side();
    d.height = side();
    // Keep spool files small unless the image is refused for its size anyway.
    while (DescriptionTooLarge()) {
        d.height /= 2;
    }
    description = d;
    described = true;
    note = "describe " + std::to_string(d.width) + "x" + std::to_string(d.height) + " bits " +
        std::to_string(d.bitsPerPixel) + " samples " + std::to_string(d.samplesPerPixel) + " type " +
        std::to_string(d.colourType) + (d.mustBeZero ? " reserved set" : "");
}

void RandomHost::Palette(std::string& note)
{
    auto& view = *reinterpret_cast<PaletteView*>(records.image);
    const uint32_t choice = random() % 10;
    const uint16_t count = choice < 6 ? static_cast<uint16_t>(random() % 257)
        : choice < 8                  ? static_cast<uint16_t>(257 + random() % 800)
        : choice < 9                  ? static_cast<uint16_t>(random())
                                      : 0;
    view.count = count;
    const bool ordered = random() % 2 == 0;
    uint8_t* entries = records.image + 8;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t bits = random();
        std::memcpy(entries + 4 * i, &bits, 4);
        if (ordered) {
            entries[4 * i] = static_cast<uint8_t>(i);
        }
    }
    note = "palette of " + std::to_string(count) + (ordered ? " ordered" : " random") + " entries";
}

void RandomHost::Block(std::string& note)
{
    int32_t bytesPerLine, blockWidth, lines, linesBefore;
    const int32_t width = description.width;
    const int32_t height = description.height;
    const uint32_t lineBits = description.bitsPerPixel & 0xFFFF;
    if (random() % 10 < 7 && width > 0 && height > 0) {
        // A block of the image described, as a careful host would send it.
        const uint64_t minimal = Stride(static_cast<uint32_t>(width), std::max<uint32_t>(lineBits, 1));
        const uint32_t slack[] = {0, 0, 0, 1, 2, 4, 17};
        bytesPerLine = static_cast<int32_t>(std::min<uint64_t>(minimal + slack[random() % std::size(slack)], 1u << 20));
        blockWidth = width;
        lines = static_cast<int32_t>(1 + random() % std::min<uint32_t>(16, static_cast<uint32_t>(height)));
        linesBefore = static_cast<int32_t>(random() % (static_cast<uint32_t>(height - lines) + 1));
        if (random() % 10 == 0) {
            linesBefore += static_cast<int32_t>(1 + random() % 3); // past the image's end
        }
    } else {
        bytesPerLine = std::min(AnyInt(), 1 << 16);
        blockWidth = AnyInt();
        lines = std::min(AnyInt(), 4096);
        linesBefore = AnyInt();
    }
    if (lines > 0 && bytesPerLine > 0) {
        lines = static_cast<int32_t>(
            std::min<uint64_t>(static_cast<uint32_t>(lines), MaxBlockBytes / static_cast<uint32_t>(bytesPerLine)));
        lines = std::max(lines, 1);
    }
    records.SetBlock(bytesPerLine, blockWidth, lines, linesBefore, nullptr);
    AttachBlockData(note);
}

bool RandomHost::BlockDataFits() const
{
    const BlockView& view = BlockViewOf(reinterpret_cast<const ImageRecord*>(records.image));
    return view.lines <= 0 || view.bytesPerLine <= 0 ||
        uint64_t{static_cast<uint32_t>(view.lines)} * static_cast<uint32_t>(view.bytesPerLine) <= MaxBlockBytes;
}

void RandomHost::AttachBlockData(std::string& note)
{
    const BlockView& view = BlockViewOf(reinterpret_cast<const ImageRecord*>(records.image));
    const int32_t bytesPerLine = view.bytesPerLine;
    const int32_t lines = view.lines;
    const uint8_t* data = nullptr;
    blockData.clear();
    if (lines > 0 && bytesPerLine > 0) {
        blockData.resize(static_cast<size_t>(lines) * static_cast<size_t>(bytesPerLine));
        uint32_t state = random() | 1;
        for (uint8_t& byte : blockData) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            byte = static_cast<uint8_t>(state);
        }
        data = blockData.data();
    } else if (random() % 2 == 0) {
        // Nothing to read; the address may as well be real.
        static const uint8_t Nothing[16] = {};
        data = Nothing;
    }
    records.SetBlock(bytesPerLine, view.width, lines, view.linesBefore, data);
    note += "block bpl " + std::to_string(bytesPerLine) + " width " + std::to_string(view.width) + " lines " +
        std::to_string(lines) + " before " + std::to_string(view.linesBefore) + (data ? "" : " no data");
}

Call RandomHost::Prepare(uint32_t command, bool inJob)
{
    Call call{command, false, false, false, false, false, {}};
    const int16_t code = static_cast<int16_t>(call.command & 0xFFFF);
    // A stale view, unless the record read as a description is too large to
    // spool, or read as a block it names more data than a buffer may hold.
    call.staleView =
        !inJob && random() % 10 == 0 && !DescriptionTooLarge() && (code != CmdWriteBlock || BlockDataFits());
    if (call.staleView && code == CmdWriteBlock) {
        // The view's fields as they are, but its data a real buffer of the
        // size they promise.
        call.note = "stale view as ";
        AttachBlockData(call.note);
    } else if (!call.staleView) {
        switch (code) {
        case CmdCheckFormat:
            // A job's image is the one its format check describes.
            described = false;
            Describe(inJob, call.note);
            break;
        case CmdBeginImage:
            Describe(inJob, call.note);
            break;
        case CmdSetPalette:
            Palette(call.note);
            break;
        case CmdWriteBlock:
            Block(call.note);
            break;
        default:
            break;
        }
    } else if (code != CmdWriteBlock) {
        call.note = "stale view";
    }
    const uint32_t damage = inJob ? 100 : random() % 100;
    call.noJob = damage < 2;
    call.noImage = damage >= 2 && damage < 4;
    call.brokenKey = damage == 4;
    call.noParams = damage == 5;
    if (call.noJob) {
        records.params.job = nullptr;
        call.note += ", no job record";
    }
    if (call.noImage) {
        records.job.image = nullptr;
        call.note += ", no image record";
    }
    if (call.brokenKey) {
        std::memset(records.params.registry.keyPath, 'k', sizeof records.params.registry.keyPath);
        call.note += ", unterminated registry path";
    }
    if (call.noParams) {
        call.note += ", no parameter block";
    }
    return call;
}

void RandomHost::Restore(const Call& call)
{
    records.params.job = &records.job;
    records.job.image = reinterpret_cast<ImageRecord*>(records.image);
    if (call.brokenKey) {
        records.SetRegistry(key);
    }
}

std::string RandomHost::ForgeValue()
{
    const std::vector<std::string>& decoys = sandbox.Decoys();
    switch (random() % 12) {
    case 0:
    case 1:
    case 2: {
        // Whatever the stored path named is no longer reachable: its file goes too.
        sandbox.RemoveSpoolFiles();
        const std::string& decoy = decoys[random() % decoys.size()];
        key.SetString("TempFile", decoy);
        return "TempFile = \"" + decoy + "\"";
    }
    case 3: {
        sandbox.RemoveSpoolFiles();
        std::vector<uint8_t> bytes(random() % 2 ? MAX_PATH : 300, static_cast<uint8_t>('~'));
        key.SetBinary("TempFile", bytes);
        return "TempFile = " + std::to_string(bytes.size()) + " bytes, no terminator";
    }
    case 4:
        sandbox.RemoveSpoolFiles();
        RegDeleteTreeA(HKEY_CURRENT_USER, key.ExifPath().c_str());
        return "job key deleted";
    case 5: {
        const uint32_t code = FormatCodes[random() % std::size(FormatCodes)];
        if (random() % 4 == 0) {
            key.SetString("ImageFormat", std::to_string(code));
            return "ImageFormat = \"" + std::to_string(code) + "\" (text)";
        }
        key.SetDword("ImageFormat", code);
        return "ImageFormat = " + std::to_string(code);
    }
    case 6: {
        const uint32_t counts[] = {0, 1, 2, 16, 256, 257, 65535, 0xFFFFFFFF};
        const uint32_t count = counts[random() % std::size(counts)];
        key.SetDword("Palette Num", count);
        return "Palette Num = " + std::to_string(count);
    }
    case 7: {
        const size_t sizes[] = {0, 3, 4, 1024, 1025, 4096};
        std::vector<uint8_t> bytes(sizes[random() % std::size(sizes)]);
        for (uint8_t& byte : bytes) {
            byte = static_cast<uint8_t>(random());
        }
        key.SetBinary("Palette", bytes);
        return "Palette = " + std::to_string(bytes.size()) + " bytes";
    }
    case 8: {
        const uint32_t types[] = {0, 1, 2, 0xFFFFFFFF};
        const uint32_t type = types[random() % std::size(types)];
        key.SetDword("File Type", type);
        return "File Type = " + std::to_string(type);
    }
    case 9: {
        const uint32_t rates[] = {0, 25, 100, 101, 0x80000000, 0xFFFFFFFF};
        const uint32_t rate = rates[random() % std::size(rates)];
        key.SetDword("Compress Rate", rate);
        return "Compress Rate = " + std::to_string(rate);
    }
    case 10: {
        const uint32_t count = random();
        key.SetDword("LoopCount", count);
        return "LoopCount = " + std::to_string(count);
    }
    default: {
        const char* name = random() % 2 ? "Position X" : "Position Y";
        const uint32_t position = static_cast<uint32_t>(AnyInt());
        key.SetDword(name, position);
        return std::string(name) + " = " + std::to_string(static_cast<int32_t>(position));
    }
    }
}

} // namespace vlexif::chaos
