// The page compressed in strips on several workers against one plain
// libjpeg-turbo compress object with the same restart interval and Huffman
// tables: the frames must be the same bytes, and decode to the pixels of the
// standard tables. The page is read once, unless its sample took it for grey
// wrongly. And a worker that fails, in the sample or in the strips, must
// take the whole conversion down cleanly.
#include "converter/Converter.h"
#include "converter/base/LastFailure.h"
#include "converter/base/StripPlan.h"
#include "converter/files/BmpRowReader.h"
#include "converter/jpeg/JpegFileEncoder.h"
#include "interface/JobDestination.h"
#include "tests/converter/TestBmp.h"
#include "tests/converter/TestFolder.h"
#include "tests/converter/TestJpeg.h"
#include "tests/support/FailureTable.h"
#include "tests/support/ProcessResources.h"
#include "tests/support/SystemCallsOverride.h"
#include "win32/SystemCalls.h"
#include "win32/UniqueHandle.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <jpeglib.h>

namespace vkexf {
namespace {

using test::BmpSpec;
using test::Rgb;
using vlexif::test::Call;
using vlexif::test::CallsMade;
using vlexif::test::FailCall;
using vlexif::test::SystemCallsOverride;
using Bytes = std::vector<uint8_t>;

// Busy content, so that the coded data holds stuffed 0xFF bytes too.
uint8_t Noise(uint32_t x, uint32_t y, uint32_t salt)
{
    uint32_t h = (x * 73856093u) ^ (y * 19349663u) ^ (salt * 83492791u);
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    return static_cast<uint8_t>(h >> 24);
}

Rgb Colour(uint32_t x, uint32_t y)
{
    return {Noise(x, y, 1), uint8_t((x * 3 + y) & 0xFF), Noise(x, y, 2)};
}
Rgb Grey(uint32_t x, uint32_t y)
{
    const uint8_t v = uint8_t(Noise(x / 2, y / 2, 3) / 2 + x + y);
    return {v, v, v};
}

size_t MarkerAt(const Bytes& jpeg, uint8_t wanted)
{
    for (size_t at = 2; at + 4 <= jpeg.size() && jpeg[at] == 0xFF;) {
        if (jpeg[at + 1] == wanted) {
            return at;
        }
        at += 2 + (size_t{jpeg[at + 2]} << 8 | jpeg[at + 3]);
    }
    return jpeg.size();
}

// SOF to EOI: what one compress object writes whatever headers come first.
Bytes Frame(const Bytes& jpeg)
{
    return Bytes(jpeg.begin() + long(MarkerAt(jpeg, 0xC0)), jpeg.end());
}

unsigned RestartInterval(const Bytes& jpeg)
{
    const size_t at = MarkerAt(jpeg, 0xDD);
    return at + 6 <= jpeg.size() ? unsigned{jpeg[at + 4]} << 8 | jpeg[at + 5] : 0;
}

// Sets the Huffman tables the DHT segments of `jpeg` define into `cinfo`.
void UseTablesOf(const Bytes& jpeg, jpeg_compress_struct& cinfo)
{
    for (size_t at = 2; at + 4 <= jpeg.size() && jpeg[at] == 0xFF && jpeg[at + 1] != 0xDA;) {
        const size_t end = at + 2 + (size_t{jpeg[at + 2]} << 8 | jpeg[at + 3]);
        for (size_t table = at + 4; jpeg[at + 1] == 0xC4 && table + 17 <= end;) {
            JHUFF_TBL* const target =
                (jpeg[table] >> 4 ? cinfo.ac_huff_tbl_ptrs : cinfo.dc_huff_tbl_ptrs)[jpeg[table] & 15];
            size_t symbols = 0;
            for (int length = 1; length <= 16; ++length) {
                symbols += target->bits[length] = jpeg[table + length];
            }
            std::memcpy(target->huffval, &jpeg[table + 17], symbols);
            table += 17 + symbols;
        }
        at = end;
    }
}

// Plain libjpeg, fed RGB or, for grey, the one grey channel, with chroma
// halved both ways below quality 90 and whole from 90 up (cjpeg -sample
// 1x1); with the standard Huffman tables, or those of `tablesOf`.
Bytes Reference(const BmpSpec& spec, bool grey, int quality, unsigned restartInterval, Rgb (*pixel)(uint32_t, uint32_t),
                const Bytes* tablesOf = nullptr)
{
    jpeg_compress_struct cinfo = {};
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = spec.width;
    cinfo.image_height = spec.height;
    cinfo.input_components = grey ? 1 : 3;
    cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    if (quality >= 90) {
        cinfo.comp_info[0].h_samp_factor = cinfo.comp_info[0].v_samp_factor = 1;
    }
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.restart_interval = restartInterval;
    if (tablesOf) {
        UseTablesOf(*tablesOf, cinfo);
    }
    jpeg_start_compress(&cinfo, TRUE);
    Bytes row(spec.width * 3);
    for (uint32_t y = 0; y < spec.height; ++y) {
        for (uint32_t x = 0; x < spec.width; ++x) {
            const Rgb c = pixel(x, y);
            if (grey) {
                row[x] = c.g;
            } else {
                row[3 * x] = c.r;
                row[3 * x + 1] = c.g;
                row[3 * x + 2] = c.b;
            }
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes jpeg(out, out + size);
    free(out);
    return jpeg;
}

// Fitted tables must code every block the page holds, the sample's or not,
// into the same pixels as the standard ones.
void ExpectSamePixels(const Bytes& ours, const Bytes& standard)
{
    const Bytes pixels = test::DecodeJpeg(ours);
    ASSERT_FALSE(pixels.empty()) << "decodes cleanly";
    EXPECT_EQ(pixels, test::DecodeJpeg(standard));
}

// A worker left running shows here.
size_t ThreadCount()
{
    return vlexif::test::ThreadsOfThisProcess();
}

class StripEncoding : public ::testing::Test {
protected:
    StripEncoding() : folder("vkexf-strips-") {}

    struct Encoded {
        Bytes jpeg;
        Bytes thumbnail;
        bool grey = false;
        int passes = 0;
    };

    // The page through the strip encoder, strips of one MCU row each.
    Encoded EncodeInStrips(const BmpSpec& spec, int quality, Rgb (*pixel)(uint32_t, uint32_t))
    {
        const std::string spool = folder.Write("spool.bmp", test::MakeBmp(spec, pixel));
        vlexif::HeldFileWaits waits;
        BmpRowReader reader;
        EXPECT_EQ(reader.Open(spool.c_str(), waits), StatusOk);
        JpegSettings settings;
        settings.width = spec.width;
        settings.height = spec.height;
        settings.quality = quality;
        const uint8_t exif[] = {'E', 'x', 'i', 'f', 0, 0};
        JpegFileEncoder page(reader, 1);
        Encoded out;
        do {
            ++out.passes;
            vlexif::UniqueFile output(CreateFileA(folder.Path("out.jpg").c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                                  nullptr, CREATE_ALWAYS, 0, nullptr));
            EXPECT_EQ(page.Encode(settings, output.Get(), "out.jpg"), StatusOk);
            if (!page.ColourFoundLate()) {
                EXPECT_EQ(page.InsertSegment(exif, sizeof exif, output.Get(), "out.jpg"), StatusOk);
            }
            EXPECT_TRUE(output.Close());
        } while (page.ColourFoundLate() && out.passes < 3);
        out.jpeg = folder.Read("out.jpg");
        const ThumbnailSize size = page.ThumbnailDimensions();
        out.thumbnail.assign(page.Thumbnail(), page.Thumbnail() + size_t{size.width} * size.height * 3);
        out.grey = page.Grey();
        return out;
    }

    // A job that writes out.jpg in the folder.
    JobDestination OutJpegJob() const
    {
        JobDestination job = {};
        std::strcpy(job.outputPath, folder.Path("out.jpg").c_str());
        return job;
    }

    test::TestFolder folder;
};

// Every width from 1 to 300, heights that end mid-MCU (1-line pages among
// them), colour and grey, each strip one MCU row: the most splices there are.
// Then a whole conversion, with the strips it plans for itself.
TEST_F(StripEncoding, SplicedStripsAreWhatOneCompressObjectWrites)
{
    DWORD_PTR all = 0, system = 0;
    ASSERT_TRUE(GetProcessAffinityMask(GetCurrentProcess(), &all, &system));
    for (uint32_t width = 1; width <= 300; ++width) {
        const BmpSpec spec{false, width, 1 + width * 29 % 83};
        for (const bool grey : {false, true}) {
            SCOPED_TRACE(testing::Message() << width << "x" << spec.height << (grey ? " grey" : " colour"));
            const int quality = 25 + int(width % 4) * 25;
            const auto pixel = grey ? Grey : Colour;
            const Encoded encoded = EncodeInStrips(spec, quality, pixel);
            const Bytes& ours = encoded.jpeg;
            ASSERT_EQ(encoded.grey, grey);
            const uint32_t side = grey || quality >= 90 ? 8 : 16;
            ASSERT_EQ(RestartInterval(ours), (width + side - 1) / side);
            ASSERT_EQ(Frame(ours), Frame(Reference(spec, grey, quality, RestartInterval(ours), pixel, &ours)));
            ExpectSamePixels(ours, Reference(spec, grey, quality, RestartInterval(ours), pixel));
            // One worker, as on a single processor, writes the same.
            if (width % 25 == 0) {
                ASSERT_TRUE(SetProcessAffinityMask(GetCurrentProcess(), all & (~all + 1)));
                const Encoded alone = EncodeInStrips(spec, quality, pixel);
                ASSERT_TRUE(SetProcessAffinityMask(GetCurrentProcess(), all));
                ASSERT_EQ(alone.jpeg, ours);
                ASSERT_EQ(alone.thumbnail, encoded.thumbnail);
            }
        }
    }

    // The one sample band of this page is flat, the rest noise: the symbols
    // the sample never met need codes too.
    const BmpSpec patchy{false, 257, 200};
    Rgb (*const flatBand[])(uint32_t, uint32_t) = {[](uint32_t x, uint32_t y) {
                                                       return y / 16 == 6 ? Rgb{9, 9, 9} : Colour(x, y);
                                                   },
                                                   [](uint32_t x, uint32_t y) {
                                                       return y / 16 == 6 ? Rgb{9, 9, 9} : Grey(x, y);
                                                   }};
    for (const bool grey : {false, true}) {
        for (const int quality : {75, 90}) {
            const Bytes ours = EncodeInStrips(patchy, quality, flatBand[grey]).jpeg;
            ExpectSamePixels(ours, Reference(patchy, grey, quality, RestartInterval(ours), flatBand[grey]));
        }
    }

    const BmpSpec page{false, 1001, 777};
    const std::string spool = folder.Write("spool.bmp", test::MakeBmp(page, Colour));
    const JobDestination job = OutJpegJob();
    ASSERT_EQ(ConvertSpoolToJpeg("tests", &job, spool.c_str(), 80), StatusOk);
    const Bytes ours = folder.Read("out.jpg");
    ASSERT_LT(RestartInterval(ours), 63u * 49u) << "more than one strip";
    EXPECT_EQ(Frame(ours), Frame(Reference(page, false, 80, RestartInterval(ours), Colour, &ours)));
    // Tables fitted to the page: smaller than the standard ones.
    EXPECT_LT(ours.size(), Reference(page, false, 80, RestartInterval(ours), Colour).size());
}

// Only a file that takes another's place goes to the disk before its
// rename, and one whose flush fails leaves the old file as it was.
TEST_F(StripEncoding, OnlyAReplacingFileIsFlushedFirst)
{
    const std::string spool = folder.Write("spool.bmp", test::MakeBmp({false, 40, 30}, Colour));
    const JobDestination job = OutJpegJob();
    const SystemCallsOverride calls;
    for (const LONG flushes : {0, 1}) {
        FailCall(Call::Flush, 0);
        ASSERT_EQ(ConvertSpoolToJpeg("tests", &job, spool.c_str(), 75), StatusOk);
        EXPECT_EQ(CallsMade(Call::Flush), flushes) << (flushes ? "replacing" : "a new file");
    }
    const Bytes old = folder.Read("out.jpg");
    FailCall(Call::Flush, 1);
    EXPECT_EQ(ConvertSpoolToJpeg("tests", &job, spool.c_str(), 75), StatusWriteFailed);
    EXPECT_EQ(folder.Read("out.jpg"), old);
    EXPECT_EQ(folder.Files(), (std::vector<std::string>{"out.jpg", "spool.bmp"}));
}

// A read or an allocation failing on any worker, in the sample or in the
// strips: no output and no temporary file, every thread ended, and the
// reason told.
TEST_F(StripEncoding, AFailingWorkerLeavesNoFileNoThreadAndSaysWhy)
{
    // Noise at full quality: several strips, each outgrowing its first buffer.
    const BmpSpec spec{false, 1000, 1000};
    const std::string spool = folder.Write("spool.bmp", test::MakeBmp(spec, Colour));
    const JobDestination job = OutJpegJob();
    ASSERT_EQ(ConvertSpoolToJpeg("tests", &job, spool.c_str(), 100), StatusOk);
    DeleteFileA(folder.Path("out.jpg").c_str());
    // Calls of a whole conversion on one worker, counted: the same each
    // time. The header is read, then the page: one sample band tested for
    // colour, which it has, the sample bands and the strips, one read each.
    // Its Exif segment goes into the room left for it; a small page's has
    // none, so there the reads after the page move its compressed page up.
    const std::string small = folder.Write("small.bmp", test::MakeBmp({false, 300, 200}, Colour));
    DWORD_PTR all = 0, system = 0;
    ASSERT_TRUE(GetProcessAffinityMask(GetCurrentProcess(), &all, &system));
    const DWORD_PTR one = all & (~all + 1);
    ASSERT_TRUE(SetProcessAffinityMask(GetCurrentProcess(), one));
    const SystemCallsOverride calls;
    LONG reads[2] = {};
    for (const bool large : {true, false}) {
        FailCall(Call::Read, 0);
        ASSERT_EQ(ConvertSpoolToJpeg("tests", &job, (large ? spool : small).c_str(), 100), StatusOk);
        reads[large] = CallsMade(Call::Read);
    }
    FailCall(Call::HeapAlloc, 0);
    ASSERT_EQ(ConvertSpoolToJpeg("tests", &job, spool.c_str(), 100), StatusOk);
    const LONG allocations = CallsMade(Call::HeapAlloc);
    calls.Reset();
    ASSERT_TRUE(SetProcessAffinityMask(GetCurrentProcess(), all));
    DeleteFileA(folder.Path("out.jpg").c_str());
    const StripPlan plan = PlanStrips(spec.width, spec.height, spec.width * 3, 8, 1);
    const StripPlan smallPlan = PlanStrips(300, 200, 900, 8, 1);
    const LONG pageReads[2] = {static_cast<LONG>(2 + smallPlan.sampleBands + smallPlan.strips),
                               static_cast<LONG>(2 + plan.sampleBands + plan.strips)};
    ASSERT_EQ(reads[true], pageReads[true]) << "nothing read back";
    ASSERT_GT(reads[false], pageReads[false]);
    // GoogleTest starts a thread of its own at the first trace.
    SCOPED_TRACE("counting threads");
    const size_t threads = ThreadCount();
    char text[512];

    // A row fails the n-th read or allocation of a conversion, on one
    // worker or on all of them, of the page or of the small one.
    struct Arm {
        Call call;
        LONG failAt;
        DWORD error;
        void operator()() const { FailCall(call, failAt, error); }
    };
    struct Case {
        std::string what;
        Arm arrange;
        Status status;
        std::string message;
        bool alone = false;
        bool large = true;
    };
    const std::string cannotWrite = "cannot write " + folder.Path("out.jpg") + ": ";
    // The compressed page read back short: Wine's words for the end of a file.
    const std::string endOfFile = cannotWrite + "End of file";
    std::vector<Case> cases;
    for (const bool large : {true, false}) {
        for (LONG n = 1; n <= reads[large]; ++n) {
            const bool page = n <= pageReads[large];
            const std::string& input = large ? spool : small;
            const std::string cannotRead = "cannot read the spool file " + input + ": ";
            const std::string at = " at read " + std::to_string(n) + (large ? "" : " of the small page");
            cases.push_back({"read error" + at,
                             {Call::Read, n, ERROR_ACCESS_DENIED},
                             page ? StatusReadFailed : StatusWriteFailed,
                             (page ? cannotRead : cannotWrite) + "access denied",
                             true,
                             large});
            cases.push_back({"short read" + at,
                             {Call::Read, n, vlexif::test::ShortTransfer},
                             page ? StatusReadFailed : StatusWriteFailed,
                             page ? cannotRead + "the file became shorter while it was read" : endOfFile,
                             true,
                             large});
        }
    }
    // Each allocation on one worker, and on all of them: there the workers
    // set up at once, and one that fails ends those waiting for it.
    for (LONG n = 1; n <= allocations; ++n) {
        for (const bool alone : {true, false}) {
            cases.push_back({"allocation " + std::to_string(n) + (alone ? " on one worker" : " on all"),
                             {Call::HeapAlloc, n, 0},
                             StatusNoMemory,
                             cannotWrite + "not enough memory",
                             alone});
        }
    }
    const Case* current = nullptr;
    vlexif::test::CheckEachFailure(
        cases,
        [&](const Case& c) {
            current = &c;
            ASSERT_TRUE(SetProcessAffinityMask(GetCurrentProcess(), c.alone ? one : all));
        },
        [&] { return ConvertSpoolToJpeg("tests", &job, (current->large ? spool : small).c_str(), 100); },
        [&](const Case& c) {
            calls.Reset();
            ASSERT_TRUE(SetProcessAffinityMask(GetCurrentProcess(), all));
            ASSERT_GE(CallsMade(c.arrange.call), c.arrange.failAt) << "the failing call was reached";
            CopyLastFailure(text, sizeof text);
            EXPECT_EQ(text, c.message);
            EXPECT_EQ(folder.Files(), (std::vector<std::string>{"small.bmp", "spool.bmp"}));
            EXPECT_EQ(ThreadCount(), threads);
        });

    // A write the file refuses fails the encoder with the system's reason.
    vlexif::HeldFileWaits waits;
    BmpRowReader reader;
    ASSERT_EQ(reader.Open(spool.c_str(), waits), StatusOk);
    JpegSettings settings;
    settings.width = spec.width;
    settings.height = spec.height;
    vlexif::UniqueFile readOnly(
        CreateFileA(spool.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(JpegFileEncoder(reader).Encode(settings, readOnly.Get(), "ro.jpg"), StatusWriteFailed);
    CopyLastFailure(text, sizeof text);
    EXPECT_STREQ(text, "cannot write ro.jpg: access denied");
    EXPECT_EQ(ThreadCount(), threads);
}

// The old output open in another program when the new page is done: the
// hold is waited out for a moment, and then the page is kept beside the old
// file, which stays as it was, never over a page kept before. Wine refuses a
// rename over any open file, whatever its sharing; Windows' classic rename
// does the same, its POSIX rename would not.
TEST_F(StripEncoding, AnOutputHeldForGoodKeepsThePageBesideIt)
{
    const std::string spool = folder.Write("spool.bmp", test::MakeBmp({false, 40, 30}, Colour));
    const JobDestination job = OutJpegJob();
    ASSERT_EQ(ConvertSpoolToJpeg("tests", &job, spool.c_str(), 75), StatusOk);
    const Bytes old = folder.Read("out.jpg");
    const SystemCallsOverride calls;
    const vlexif::UniqueFile holder(CreateFileA(folder.Path("out.jpg").c_str(), GENERIC_READ,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder.Valid());
    for (const char* kept : {"out (new).jpg", "out (new 2).jpg"}) {
        vlexif::test::RecordWaits();
        EXPECT_EQ(ConvertSpoolToJpeg("tests", &job, spool.c_str(), 75), StatusSavedBeside);
        const std::vector<DWORD>& waits = vlexif::test::Waits();
        EXPECT_EQ(std::accumulate(waits.begin(), waits.end(), 0u), 1125u) << "ten tries first";
        char text[1024];
        CopyLastFailure(text, sizeof text);
        EXPECT_EQ(std::string(text),
                  "cannot replace " + folder.Path("out.jpg") +
                      ": the file is in use by another program; the new page was saved beside it as " + kept);
        EXPECT_EQ(folder.Read(kept), old) << "the same page, kept whole";
    }
    EXPECT_EQ(folder.Read("out.jpg"), old);
    EXPECT_EQ(folder.Files(), (std::vector<std::string>{"out (new 2).jpg", "out (new).jpg", "out.jpg", "spool.bmp"}));
}

BOOL WINAPI RefuseRename(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID info, DWORD bytes)
{
    if (kind == FileRenameInfo) {
        SetLastError(ERROR_WRITE_PROTECT);
        return FALSE;
    }
    return SetFileInformationByHandle(file, kind, info, bytes);
}

// Through the seam, the failures no desktop produces on demand: a rename the
// disk refuses for good keeps the old file and leaves no new one, as no
// rename beside it can work either; a close that loses the written data
// fails the conversion, though the file is in its place by then.
TEST_F(StripEncoding, ARefusedRenameOrALostCloseFailsWithTheCallNamed)
{
    const std::string spool = folder.Write("spool.bmp", test::MakeBmp({false, 40, 30}, Colour));
    const JobDestination job = OutJpegJob();
    ASSERT_EQ(ConvertSpoolToJpeg("tests", &job, spool.c_str(), 75), StatusOk);
    const Bytes old = folder.Read("out.jpg");
    char text[1024];
    const SystemCallsOverride calls;
    vlexif::Os().setFileInformationByHandle = RefuseRename;
    EXPECT_EQ(ConvertSpoolToJpeg("tests", &job, spool.c_str(), 75), StatusReplaceFailed);
    CopyLastFailure(text, sizeof text);
    EXPECT_EQ(std::string(text),
              "cannot replace " + folder.Path("out.jpg") +
                  ": the disk is write-protected (SetFileInformationByHandle, error 19)");
    EXPECT_EQ(folder.Read("out.jpg"), old);
    EXPECT_EQ(folder.Files(), (std::vector<std::string>{"out.jpg", "spool.bmp"}));

    calls.Reset();
    FailCall(Call::Close, 1);
    EXPECT_EQ(ConvertSpoolToJpeg("tests", &job, spool.c_str(), 75), StatusWriteFailed);
    CopyLastFailure(text, sizeof text);
    const std::string lost = text;
    EXPECT_EQ(lost.rfind("cannot write " + folder.Path("out.jpg") + ": ", 0), 0u) << lost;
    EXPECT_NE(lost.find("(CloseHandle, error 1117)"), std::string::npos) << lost;
}

// Components in the frame of `jpeg`, and the first one's sampling factors.
std::pair<int, int> FrameComponents(const Bytes& jpeg)
{
    const size_t at = MarkerAt(jpeg, 0xC0);
    return at + 12 <= jpeg.size() ? std::pair{int{jpeg[at + 9]}, int{jpeg[at + 11]}} : std::pair{0, 0};
}

// A colour page and a grey one are read once besides their sample; a page
// whose sample is grey but which is not (a stamp in a corner) is read again
// and comes out colour. The thumbnail, summed on the way, is the page itself
// when the page fits it, whichever way up the file stores it.
TEST_F(StripEncoding, APageIsReadOnceUnlessColourTurnsUpLate)
{
    Rgb (*const pages[])(uint32_t, uint32_t) = {[](uint32_t x, uint32_t y) {
                                                    return Rgb{uint8_t(x / 3), uint8_t(y / 3), uint8_t((x + y) / 5)};
                                                },
                                                [](uint32_t x, uint32_t) {
                                                    return Rgb{uint8_t(x / 3), uint8_t(x / 3), uint8_t(x / 3)};
                                                },
                                                [](uint32_t x, uint32_t y) {
                                                    // A red mark in the corner, off the sample.
                                                    const auto level = uint8_t(x / 3);
                                                    const bool mark = x >= 580 && y >= 480;
                                                    return Rgb{level, mark ? uint8_t(0) : level, level};
                                                }};
    const BmpSpec spec{false, 600, 500};
    const double pageBytes = 600.0 * 3 * 500;
    const JobDestination job = OutJpegJob();
    const SystemCallsOverride calls;
    for (const int quality : {75, 95}) {
        for (int kind = 0; kind < 3; ++kind) {
            SCOPED_TRACE(testing::Message() << "q" << quality
                                            << (kind == 0       ? " colour"
                                                    : kind == 1 ? " grey"
                                                                : " late"));
            const std::string spool = folder.Write("spool.bmp", test::MakeBmp(spec, pages[kind]));
            FailCall(Call::Read, 0);
            ASSERT_EQ(ConvertSpoolToJpeg("tests", &job, spool.c_str(), quality), StatusOk);
            const double read = double(vlexif::test::BytesRead()) / pageBytes;
            const Bytes ours = folder.Read("out.jpg");
            EXPECT_EQ(FrameComponents(ours).first, kind == 1 ? 1 : 3);
            if (kind == 2) {
                EXPECT_GT(read, 2.0) << "the sample missed the colour mark, so it was read twice";
            } else {
                // The sample is a 64th of the page, and the compressed page
                // is read back once to make room for the Exif segment.
                EXPECT_LT(read, 1.15);
            }
        }
    }

    // A large page's Exif segment goes into room left for it ahead of the
    // first strip: nothing is read back. The sample is a 64th of the page,
    // and its test for colour reads at most another 64th (a colour page's
    // workers stop at the first colour band, but each may have read one).
    for (const bool grey : {false, true}) {
        SCOPED_TRACE(grey ? "large grey" : "large colour");
        const std::string spool = folder.Write("spool.bmp", test::MakeBmp({false, 2000, 1000}, grey ? Grey : Colour));
        FailCall(Call::Read, 0);
        ASSERT_EQ(ConvertSpoolToJpeg("tests", &job, spool.c_str(), 75), StatusOk);
        EXPECT_LT(double(vlexif::test::BytesRead()) / 6e6, 1.0 + 2.0 / 64 + 0.01);
    }

    const auto ramp = [](uint32_t x, uint32_t y) {
        const auto level = static_cast<uint8_t>(x * 5 + y * 3);
        return Rgb{level, level, level};
    };
    for (const bool topDown : {false, true}) {
        const Encoded small = EncodeInStrips({false, 40, 30, topDown}, 75, ramp);
        Bytes page;
        for (uint32_t y = 0; y < 30; ++y) {
            for (uint32_t x = 0; x < 40; ++x) {
                page.insert(page.end(), 3, ramp(x, y).r);
            }
        }
        EXPECT_EQ(small.thumbnail, page) << (topDown ? "top-down" : "bottom-up");
        EXPECT_TRUE(small.grey);
        EXPECT_EQ(small.passes, 1);
    }
}

// Chroma is halved both ways below quality 90 and kept whole from 90 up,
// in the page and in its thumbnail alike.
TEST_F(StripEncoding, ChromaIsWholeFromQuality90Up)
{
    const std::string spool = folder.Write("spool.bmp", test::MakeBmp({false, 333, 222}, [](uint32_t x, uint32_t y) {
                                               return Rgb{uint8_t(x), uint8_t(y * 2), uint8_t(x + y)};
                                           }));
    const JobDestination job = OutJpegJob();
    for (const int quality : {50, 89, 90, 100}) {
        SCOPED_TRACE(quality);
        ASSERT_EQ(ConvertSpoolToJpeg("tests", &job, spool.c_str(), quality), StatusOk);
        const Bytes ours = folder.Read("out.jpg");
        const int sampling = quality >= 90 ? 0x11 : 0x22;
        EXPECT_EQ(FrameComponents(ours), std::pair(3, sampling));
        // The thumbnail is the second start of image, inside the Exif segment.
        const uint8_t start[] = {0xFF, 0xD8};
        const auto thumbnail = std::search(ours.begin() + 2, ours.end(), std::begin(start), std::end(start));
        ASSERT_NE(thumbnail, ours.end());
        EXPECT_EQ(FrameComponents(Bytes(thumbnail, ours.end())), std::pair(3, sampling));
    }
}

} // namespace
} // namespace vkexf
