// Conversions through the real VkExf.dll, loaded the way the plug-in loads
// it, with the JPEGs decoded again by libjpeg-turbo.
#include "interface/JobDestination.h"
#include "interface/VkExf.h"
#include "tests/converter/TestBmp.h"
#include "tests/converter/TestFolder.h"
#include "tests/support/ProcessResources.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <functional>

#include <gtest/gtest.h>
#include <jpeglib.h>

namespace vkexf {
namespace {

using test::BmpSpec;
using test::MakeBmp;
using test::Rgb;
using Bytes = std::vector<uint8_t>;

constexpr char Version[] = "VkExf tests 1.0";

struct Decoded {
    bool ok = false;
    uint32_t width = 0, height = 0;
    int components = 0; // in the frame; `rgb` has three either way
    Bytes rgb;
    int densityUnit = 0;
    unsigned xDensity = 0, yDensity = 0;
    std::string app1;

    Rgb At(uint32_t x, uint32_t y) const
    {
        const uint8_t* p = &rgb[(size_t{y} * width + x) * 3];
        return {p[0], p[1], p[2]};
    }
};

struct JumpingErrors : jpeg_error_mgr {
    std::jmp_buf jump;
};

// Between setjmp and libjpeg's longjmp lie only C frames.
bool DecodeInto(jpeg_decompress_struct& cinfo, const Bytes& jpeg, Decoded& out)
{
    if (setjmp(static_cast<JumpingErrors*>(cinfo.err)->jump)) {
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_save_markers(&cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&cinfo, TRUE);
    out.components = cinfo.num_components;
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    out.width = cinfo.output_width;
    out.height = cinfo.output_height;
    out.rgb.resize(size_t{out.width} * out.height * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = &out.rgb[size_t{cinfo.output_scanline} * out.width * 3];
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    out.densityUnit = cinfo.saw_JFIF_marker ? cinfo.density_unit : -1;
    out.xDensity = cinfo.X_density;
    out.yDensity = cinfo.Y_density;
    if (cinfo.marker_list) {
        out.app1.assign(reinterpret_cast<char*>(cinfo.marker_list->data), cinfo.marker_list->data_length);
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

Decoded Decode(const Bytes& jpeg)
{
    jpeg_decompress_struct cinfo = {};
    JumpingErrors errors;
    cinfo.err = jpeg_std_error(&errors);
    errors.error_exit = [](j_common_ptr c) { std::longjmp(static_cast<JumpingErrors*>(c->err)->jump, 1); };
    Decoded out;
    out.ok = DecodeInto(cinfo, jpeg, out);
    jpeg_destroy_decompress(&cinfo);
    return out;
}

class ConversionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        module = LoadLibraryA(VKEXF_DLL_PATH);
        ASSERT_TRUE(module) << VKEXF_DLL_PATH;
        entry = reinterpret_cast<VkExfEntryProc>(reinterpret_cast<void*>(GetProcAddress(module, VkExfEntryName)));
        entryWithOptions = reinterpret_cast<VkExfEntryWithOptionsProc>(
            reinterpret_cast<void*>(GetProcAddress(module, VkExfEntryWithOptionsName)));
        lastError =
            reinterpret_cast<VkExfLastErrorProc>(reinterpret_cast<void*>(GetProcAddress(module, VkExfLastErrorName)));
        ASSERT_TRUE(entry && entryWithOptions && lastError);
    }
    static void TearDownTestSuite()
    {
        FreeLibrary(module);
        module = nullptr;
        entry = nullptr;
        entryWithOptions = nullptr;
        lastError = nullptr;
    }

    ConversionTest() : folder("vkexf-") {}

    std::string Path(const std::string& name) const { return folder.Path(name); }
    std::string Write(const std::string& name, const Bytes& bytes) const { return folder.Write(name, bytes); }
    Bytes Read(const std::string& name) const { return folder.Read(name); }
    std::vector<std::string> Files() const { return folder.Files(); }

    // Through VkExf_Entry, or with `colourMode` through VkExf_EntryWithOptions.
    uint32_t Convert(const char* spool, const std::string& output, int32_t quality = 90, const char* make = "",
                     const char* model = "", int colourMode = -1) const
    {
        JobDestination job = {};
        std::strcpy(job.outputPath, Path(output).c_str());
        std::strcpy(job.make, make);
        std::strcpy(job.model, model);
        const VkExfOptions options = {sizeof options, quality, static_cast<uint32_t>(colourMode), {}};
        return (colourMode < 0 ? entry(Version, &job, spool, quality)
                               : entryWithOptions(Version, &job, spool, &options)) &
            0xFFFF;
    }

    Decoded ConvertAndDecode(const BmpSpec& spec, const std::function<Rgb(uint32_t, uint32_t)>& pixel,
                             int32_t quality = 95, int colourMode = -1)
    {
        EXPECT_EQ(Convert(Write("spool.bmp", MakeBmp(spec, pixel)).c_str(), "out.jpg", quality, "", "", colourMode),
                  0u);
        return Decode(Read("out.jpg"));
    }

    static std::string LastError()
    {
        char text[1024];
        lastError(text, sizeof text);
        return text;
    }

    // A failed conversion into `output` that names it and says why, and
    // leaves the folder as it was.
    void ExpectRefused(const char* spool, const std::string& output, uint32_t status, const std::string& reason)
    {
        const auto before = Files();
        const std::string path = Path(output);
        EXPECT_EQ(Convert(spool, output), status) << output;
        EXPECT_EQ(LastError(), (status == 206 ? "cannot replace " : "cannot write ") + path + ": " + reason);
        EXPECT_EQ(Files(), before) << "no temporary file left";
    }

    test::TestFolder folder;
    static inline HMODULE module = nullptr;
    static inline VkExfEntryProc entry = nullptr;
    static inline VkExfEntryWithOptionsProc entryWithOptions = nullptr;
    static inline VkExfLastErrorProc lastError = nullptr;
};

class ConvertsShape : public ConversionTest, public ::testing::WithParamInterface<BmpSpec> {};

TEST_P(ConvertsShape, DecodesToTheSameImage)
{
    const BmpSpec& spec = GetParam();
    const auto ramps = [&spec](uint32_t x, uint32_t y) { return test::Ramps(spec, x, y); };
    const Decoded jpeg = ConvertAndDecode(spec, ramps);
    ASSERT_TRUE(jpeg.ok);
    ASSERT_EQ(jpeg.width, spec.width);
    ASSERT_EQ(jpeg.height, spec.height);
    double squares = 0;
    for (uint32_t y = 0; y < spec.height; ++y) {
        for (uint32_t x = 0; x < spec.width; ++x) {
            const Rgb want = ramps(x, y), got = jpeg.At(x, y);
            for (auto [a, b] : {std::pair{want.r, got.r}, {want.g, got.g}, {want.b, got.b}}) {
                squares += (a - b) * (a - b);
            }
        }
    }
    const double psnr = 10 * std::log10(255.0 * 255 * 3 * spec.width * spec.height / std::max(squares, 1.0));
    EXPECT_GE(psnr, 35.0);
}

std::string ShapeName(const ::testing::TestParamInfo<BmpSpec>& info)
{
    const BmpSpec& s = info.param;
    return std::string(s.coreHeader ? "Core" : "Info") + std::to_string(s.width) + "x" + std::to_string(s.height) +
        (s.topDown ? "TopDown" : "BottomUp");
}

INSTANTIATE_TEST_SUITE_P(OddWidths, ConvertsShape,
                         ::testing::Values(BmpSpec{false, 1, 9, false}, BmpSpec{false, 3, 9, true},
                                           BmpSpec{false, 5, 17, false}, BmpSpec{false, 7, 17, true},
                                           BmpSpec{true, 1, 9, false}, BmpSpec{true, 3, 11, false},
                                           BmpSpec{true, 5, 13, false}, BmpSpec{true, 7, 33, false}),
                         ShapeName);

// Over a megabyte of rows: several reads, the last one short.
INSTANTIATE_TEST_SUITE_P(ManyBands, ConvertsShape,
                         ::testing::Values(BmpSpec{false, 1001, 777, false}, BmpSpec{false, 1001, 777, true},
                                           BmpSpec{true, 1001, 777, false}),
                         ShapeName);

TEST_F(ConversionTest, RedStaysRedAndBlueStaysBlue)
{
    const auto halves = [](uint32_t x, uint32_t) { return x < 24 ? Rgb{255, 0, 0} : Rgb{0, 0, 255}; };
    const Decoded jpeg = ConvertAndDecode({false, 48, 32}, halves);
    const Rgb red = jpeg.At(8, 16), blue = jpeg.At(40, 16);
    EXPECT_TRUE(red.r > 230 && red.g < 25 && red.b < 25);
    EXPECT_TRUE(blue.r < 25 && blue.g < 25 && blue.b > 230);
}

// The thumbnail is the Exif segment's second JPEG; its structure is the
// Exif segment's tests' and exiftool's (check-exif.sh) to judge.
Decoded ThumbnailOf(const Decoded& jpeg)
{
    const size_t start = jpeg.app1.find("\xFF\xD8\xFF");
    return start == std::string::npos ? Decoded{} : Decode(Bytes(jpeg.app1.begin() + start, jpeg.app1.end()));
}

// A grey page: one component in the frame and in the thumbnail, which is
// the page's area average, top row first; by the exact rule one coloured
// pixel keeps all of it in colour, which the default, tolerant, rule takes
// for the scanner's noise.
TEST_F(ConversionTest, GreyPagesAreGreyJpegsAndOnePixelKeepsColourWhenExact)
{
    const BmpSpec spec{false, 301, 203};
    const auto grey = [](uint32_t x, uint32_t y) {
        const auto level = static_cast<uint8_t>(x < 150 ? 40 + y / 4 : 200);
        return Rgb{level, level, level};
    };
    Decoded jpeg;
    for (const bool topDown : {false, true}) {
        jpeg = ConvertAndDecode({false, spec.width, spec.height, topDown}, grey);
        ASSERT_TRUE(jpeg.ok);
        EXPECT_EQ(jpeg.components, 1);
        int worst = 0;
        for (uint32_t y = 0; y < spec.height; ++y) {
            for (uint32_t x = 0; x < spec.width; ++x) {
                worst = std::max(worst, std::abs(jpeg.At(x, y).r - grey(x, y).r));
            }
        }
        EXPECT_LE(worst, 8) << "the page's grey values, within the DCT's rounding";
        const Decoded thumbnail = ThumbnailOf(jpeg);
        ASSERT_TRUE(thumbnail.ok);
        EXPECT_EQ(thumbnail.components, 1);
        ASSERT_EQ(thumbnail.width, 160u);
        ASSERT_EQ(thumbnail.height, 108u);
        EXPECT_NEAR(thumbnail.At(20, 10).r, 40 + 19 / 4, 3) << (topDown ? "top-down" : "bottom-up");
        EXPECT_NEAR(thumbnail.At(20, 100).r, 40 + 188 / 4, 3) << (topDown ? "top-down" : "bottom-up");
        EXPECT_NEAR(thumbnail.At(140, 54).r, 200, 3);
    }

    for (const auto& [x, y] : {std::pair{0u, 0u}, {300u, 202u}, {151u, 77u}}) {
        const auto onePixel = [&, x = x, y = y](uint32_t px, uint32_t py) {
            Rgb pixel = grey(px, py);
            pixel.g ^= px == x && py == y;
            return pixel;
        };
        jpeg = ConvertAndDecode(spec, onePixel, 95, VkExfColourExact);
        EXPECT_EQ(jpeg.components, 3) << x << "," << y;
        EXPECT_EQ(ThumbnailOf(jpeg).components, 3) << x << "," << y;
        EXPECT_EQ(ConvertAndDecode(spec, onePixel).components, 1) << x << "," << y;
    }
}

TEST_F(ConversionTest, HeadersCarryResolutionScannerAndSoftware)
{
    const auto spool = Write("spool.bmp", MakeBmp({false, 1, 1, false, 11811}));
    ASSERT_EQ(Convert(spool.c_str(), "out.jpg", 90, "Varlo", "VS-400"), 0u);
    Decoded jpeg = Decode(Read("out.jpg"));
    EXPECT_EQ(jpeg.densityUnit, 1);
    EXPECT_EQ(jpeg.xDensity, 300u);
    EXPECT_EQ(jpeg.yDensity, 300u);
    EXPECT_EQ(jpeg.app1.compare(0, 6, std::string("Exif\0\0", 6)), 0);
    for (const char* text : {"Varlo", "VS-400", Version}) {
        EXPECT_NE(jpeg.app1.find(text), std::string::npos) << text;
    }

    jpeg = ConvertAndDecode({true, 1, 1}, {});
    EXPECT_EQ(jpeg.densityUnit, 1);
    EXPECT_EQ(jpeg.xDensity, 72u);
}

TEST_F(ConversionTest, QualityIsClamped)
{
    const auto spool = Write("spool.bmp", MakeBmp({false, 64, 64}, [](uint32_t x, uint32_t y) {
                                 return Rgb{uint8_t(x * 4), uint8_t(y * 4), uint8_t(x ^ y)};
                             }));
    for (auto [name, quality] : {std::pair{"-5", -5}, {"1", 1}, {"250", 250}, {"100", 100}}) {
        ASSERT_EQ(Convert(spool.c_str(), name, quality), 0u) << quality;
    }
    EXPECT_EQ(Read("-5").size(), Read("1").size());
    EXPECT_EQ(Read("250").size(), Read("100").size());
    EXPECT_LT(Read("-5").size(), Read("250").size());
}

TEST_F(ConversionTest, SpoolIsUnchangedAndClosed)
{
    const Bytes bmp = MakeBmp({false, 5, 5}, [](uint32_t x, uint32_t y) { return Rgb{uint8_t(x), uint8_t(y), 9}; });
    const auto spool = Write("spool.bmp", bmp);
    Write("out.jpg", {'o', 'l', 'd'});
    ASSERT_EQ(Convert(spool.c_str(), "out.jpg"), 0u);
    EXPECT_TRUE(Decode(Read("out.jpg")).ok) << "replaces an existing file";
    EXPECT_EQ(Read("spool.bmp"), bmp);
    EXPECT_EQ(Files(), (std::vector<std::string>{"out.jpg", "spool.bmp"}));
    EXPECT_TRUE(DeleteFileA(spool.c_str())) << "Windows refuses to delete an open file";
}

struct BadSpool {
    const char* name;
    void (*change)(bmp::InfoHead&); // null: only cut the file
    size_t keep;                    // bytes left, 0 for all
};

void PrintTo(const BadSpool& bad, std::ostream* out)
{
    *out << bad.name;
}

class RefusesSpool : public ConversionTest, public ::testing::WithParamInterface<BadSpool> {};

TEST_P(RefusesSpool, LeavesNoOutputAndKeepsTheOldFile)
{
    Bytes bmp = MakeBmp({false, 9, 9}, [](uint32_t, uint32_t) { return Rgb{1, 2, 3}; });
    if (GetParam().change) {
        test::ChangeInfoHead(bmp, GetParam().change);
    }
    if (GetParam().keep) {
        bmp.resize(GetParam().keep);
    }
    const auto spool = Write("spool.bmp", bmp);
    Write("kept.jpg", {'k', 'e', 'p', 't'});
    EXPECT_NE(Convert(spool.c_str(), "new.jpg"), 0u);
    EXPECT_NE(Convert(spool.c_str(), "kept.jpg"), 0u);
    EXPECT_EQ(Read("kept.jpg"), (Bytes{'k', 'e', 'p', 't'}));
    EXPECT_EQ(Files(), (std::vector<std::string>{"kept.jpg", "spool.bmp"}));
}

using Head = bmp::InfoHead;
INSTANTIATE_TEST_SUITE_P(Malformed, RefusesSpool,
                         ::testing::Values(BadSpool{"Truncated", nullptr, bmp::InfoHeadSize + 9 * 28 - 1},
                                           BadSpool{"HeadersOnly", nullptr, bmp::InfoHeadSize},
                                           BadSpool{"Tiny", nullptr, 3},
                                           BadSpool{"Signature", [](Head& h) { h.file.signature = 'B' | 'X' << 8; }, 0},
                                           BadSpool{"EightBit", [](Head& h) { h.info.bitCount = 8; }, 0},
                                           BadSpool{"Compressed", [](Head& h) { h.info.compression = 1; }, 0},
                                           BadSpool{"AbsurdWidth", [](Head& h) { h.info.width = 0x40000000; }, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConversionTest, BadArgumentsFailWithTheirReason)
{
    const auto spool = Write("spool.bmp", MakeBmp({}, [](uint32_t, uint32_t) { return Rgb{}; }));
    JobDestination job = {};
    EXPECT_NE(entry(Version, nullptr, spool.c_str(), 75) & 0xFFFF, 0u);
    EXPECT_EQ(LastError(), "cannot convert: the job names no output file");
    EXPECT_NE(entry(Version, &job, spool.c_str(), 75) & 0xFFFF, 0u) << "empty path";
    std::memset(job.outputPath, 'x', sizeof job.outputPath);
    EXPECT_NE(entry(Version, &job, spool.c_str(), 75) & 0xFFFF, 0u) << "unterminated path";
    EXPECT_NE(Convert(nullptr, "out.jpg"), 0u);
    EXPECT_EQ(LastError(), "cannot convert: no spool file was given");
    EXPECT_EQ(Convert(Path("absent.bmp").c_str(), "out.jpg"), 203u);
    EXPECT_EQ(LastError(),
              "cannot read the spool file " + Path("absent.bmp") + ": the file does not exist (CreateFileA, error 2)");
    EXPECT_EQ(Files(), std::vector<std::string>{"spool.bmp"});
}

TEST_F(ConversionTest, LastErrorIsCopiedWithinTheGivenSizeAndEmptiedBySuccess)
{
    const auto spool = Write("spool.bmp", MakeBmp({}));
    ASSERT_NE(Convert(spool.c_str(), "no-such-folder\\out.jpg"), 0u);
    const std::string full = LastError();
    EXPECT_EQ(lastError(nullptr, 0), full.size());
    char small[12];
    std::memset(small, '#', sizeof small);
    EXPECT_EQ(lastError(small, 8), full.size());
    EXPECT_STREQ(small, full.substr(0, 7).c_str());
    EXPECT_EQ(small[8], '#') << "nothing written past the size given";

    ASSERT_EQ(Convert(spool.c_str(), "out.jpg"), 0u);
    EXPECT_EQ(lastError(small, sizeof small), 0u);
    EXPECT_STREQ(small, "");
}

// Each output problem fails before any work, names the path, keeps what is
// there and leaves no temporary file.
TEST_F(ConversionTest, OutputProblemsFailCleanlyWithTheirReason)
{
    const auto spool = Write("spool.bmp", MakeBmp({false, 16, 16}));
    const Bytes old = {'o', 'l', 'd'};

    ExpectRefused(spool.c_str(), "no-such-folder\\out.jpg", 202, "the directory does not exist");
    ExpectRefused(spool.c_str(), "what?.jpg", 202, "the name is not valid here");

    // Wine would move a file over a read-only one; Windows refuses, and so
    // does the converter.
    Write("locked.jpg", old);
    ASSERT_TRUE(SetFileAttributesA(Path("locked.jpg").c_str(), FILE_ATTRIBUTE_READONLY));
    ExpectRefused(spool.c_str(), "locked.jpg", 206, "the file is read-only");
    EXPECT_EQ(Read("locked.jpg"), old);
    SetFileAttributesA(Path("locked.jpg").c_str(), FILE_ATTRIBUTE_NORMAL);

    ASSERT_TRUE(CreateDirectoryA(Path("taken.jpg").c_str(), nullptr));
    ExpectRefused(spool.c_str(), "taken.jpg", 206, "a folder has that name");
    RemoveDirectoryA(Path("taken.jpg").c_str());

    // A folder whose name the ANSI code page cannot hold reaches the
    // converter as question marks, which must not name anything.
    const std::wstring wideFolder =
        std::wstring(folder.Path().begin(), folder.Path().end()) + L"\\\x0424\x043E\x0442\x043E";
    ASSERT_TRUE(CreateDirectoryW(wideFolder.c_str(), nullptr));
    char ansi[MAX_PATH];
    ASSERT_TRUE(WideCharToMultiByte(CP_ACP, 0, wideFolder.c_str() + folder.Path().size() + 1, -1, ansi, sizeof ansi,
                                    nullptr, nullptr));
    ExpectRefused(spool.c_str(), std::string(ansi) + "\\out.jpg", 202, "the name is not valid here");
    EXPECT_TRUE(RemoveDirectoryW(wideFolder.c_str())) << "the folder stays empty";

    // Relative to a deep current folder the full path passes MAX_PATH.
    char current[MAX_PATH];
    GetCurrentDirectoryA(sizeof current, current);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.Path().c_str()));
    const std::string longName = std::string(250, 'n') + ".jpg";
    JobDestination job = {};
    std::strcpy(job.outputPath, longName.c_str());
    EXPECT_EQ(entry(Version, &job, spool.c_str(), 75) & 0xFFFF, 202u);
    EXPECT_EQ(LastError(), "cannot write " + longName + ": path too long");
    SetCurrentDirectoryA(current);

    // sysfs takes no new files, not even from root.
    if (GetFileAttributesA("Z:\\sys") != INVALID_FILE_ATTRIBUTES) {
        std::strcpy(job.outputPath, "Z:\\sys\\out.jpg");
        EXPECT_EQ(entry(Version, &job, spool.c_str(), 75) & 0xFFFF, 202u);
        EXPECT_EQ(LastError(), "cannot write Z:\\sys\\out.jpg: access denied (CreateFileW, error 5)");
    }
    EXPECT_EQ(Files(), (std::vector<std::string>{"locked.jpg", "spool.bmp"}));
}

// A destination at the very limit still converts, though its temporary
// name beside it is longer than MAX_PATH allows.
TEST_F(ConversionTest, DestinationAtThePathLimitConverts)
{
    const auto spool = Write("spool.bmp", MakeBmp({false, 8, 8}));
    std::vector<std::string> folders;
    std::string deepFolder = folder.Path();
    const std::string name = "\\page123.jpg";
    while (deepFolder.size() + name.size() < MAX_PATH - 1) {
        const size_t room = MAX_PATH - 1 - name.size() - deepFolder.size() - 1;
        deepFolder += "\\" + std::string(std::min<size_t>(room, 100), 'd');
        ASSERT_TRUE(CreateDirectoryA(deepFolder.c_str(), nullptr)) << deepFolder.size();
        folders.push_back(deepFolder);
    }
    const std::string output = deepFolder + name;
    ASSERT_EQ(output.size(), size_t{MAX_PATH - 1});
    JobDestination job = {};
    std::strcpy(job.outputPath, output.c_str());
    EXPECT_EQ(entry(Version, &job, spool.c_str(), 75) & 0xFFFF, 0u) << LastError();
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((deepFolder + "\\*.*").c_str(), &found);
    std::vector<std::string> names;
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            names.emplace_back(found.cFileName);
        }
    }
    FindClose(search);
    EXPECT_EQ(names, std::vector<std::string>{"page123.jpg"});
    DeleteFileA(output.c_str());
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
        RemoveDirectoryA(it->c_str());
    }
}

// A conversion killed while it writes leaves nothing in the output folder,
// and the file it was to replace as it was.
TEST_F(ConversionTest, KilledConversionLeavesNoFile)
{
    uint32_t seed = 1;
    const auto noise = [&seed](uint32_t, uint32_t) {
        seed = seed * 1664525 + 1013904223;
        return Rgb{uint8_t(seed >> 24), uint8_t(seed >> 16), uint8_t(seed >> 8)};
    };
    const auto spool = Write("spool.bmp", MakeBmp({false, 2000, 2000}, noise));
    const Bytes old = {'o', 'l', 'd'};
    Write("page.jpg", old);
    const auto before = Files();

    std::string command = std::string("\"") + VKEXF_RUN_PATH + "\" \"" + VKEXF_DLL_PATH + "\" \"" + spool + "\" \"" +
        Path("page.jpg") + "\" 95";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(
        CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    // Wait for the temporary file to hold JPEG data, then kill.
    bool writing = false;
    while (!writing && WaitForSingleObject(process.hProcess, 1) == WAIT_TIMEOUT) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(Path("~vkx*.tmp").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            writing = found.nFileSizeLow > 0;
            FindClose(search);
        }
    }
    TerminateProcess(process.hProcess, 9);
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    ASSERT_TRUE(writing) << "the conversion ended before it could be killed";
    EXPECT_EQ(Files(), before);
    EXPECT_EQ(Read("page.jpg"), old);
}

// The plug-in loads and unloads the converter for every job: a load may not
// keep anything, the C++ runtime's exception pool (19 KB) included.
TEST(ConverterModule, LoadingAndUnloadingKeepsNoHeap)
{
    auto cycle = [] {
        HMODULE module = LoadLibraryA(VKEXF_DLL_PATH);
        ASSERT_TRUE(module);
        FreeLibrary(module);
        ASSERT_EQ(GetModuleHandleA("VkExf.dll"), nullptr) << "something else keeps the DLL loaded";
    };
    cycle(); // whatever the first load sets up once
    const uint64_t before = vlexif::test::HeapBytesInUse();
    for (int k = 0; k < 50; ++k) {
        cycle();
    }
    EXPECT_LT(vlexif::test::HeapBytesInUse(), before + 16 * 1024);
}

} // namespace
} // namespace vkexf

namespace vkexf::test {
void PrintTo(const BmpSpec& spec, std::ostream* out)
{
    *out << ShapeName({spec, 0});
}
} // namespace vkexf::test
