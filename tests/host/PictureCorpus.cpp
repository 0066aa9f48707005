// Damaged pictures through the readers, in one process: every sample cut at
// every length up to a few hundred bytes and at a spread of longer ones, with
// bits flipped at many offsets, and interrupted at a spread of its checks. Each
// case either reads exactly as the whole file does or is refused with its
// cause; none outlives its time limit or leaves a file open (the sanitizers
// see to crashes and leaked memory). A clean sample must also read as
// ImageMagick decodes it.
//   picture_corpus LIST    (run in the folder of LIST's files)
// Each line of LIST: SAMPLE REFERENCE TOLERANCE CHECKED, the reference a PNM
// of the picture on white, the tolerance in 8-bit steps, and CHECKED "crc"
// when every byte of the format is covered by a checksum, so that a flipped
// bit can only be refused.
#include "host/picture/HostPage.h"
#include "host/readers/ImageLoader.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>
#ifndef _WIN32
#include <dirent.h>
#endif

namespace {

using namespace vlscan;
using Clock = std::chrono::steady_clock;

constexpr char CaseFile[] = "corpus-case.bin";
constexpr auto TimeLimit = std::chrono::seconds(10);
// Cases per sample: every cut up to a length, then a spread of longer cuts;
// a flipped bit in every byte of the headers, then at a spread of offsets;
// interrupts at a spread of checks.
constexpr size_t EveryCutUpTo = 256;
constexpr size_t LongerCuts = 32;
constexpr size_t EveryFlipUpTo = 64;
constexpr size_t LaterFlips = 128;
constexpr int Interrupts = 16;

bool NeverStop()
{
    return false;
}

// Ends the process when a case runs past the time limit: a hang fails the
// test instead of stalling it.
class Watchdog {
public:
    Watchdog() : thread([this] { Watch(); }) {}
    ~Watchdog()
    {
        done = true;
        thread.join();
    }

    void Start(const std::string& what)
    {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            current = what;
        }
        started = Clock::now().time_since_epoch().count();
    }
    void Stop() { started = 0; }

private:
    void Watch()
    {
        while (!done) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            const Clock::rep at = started;
            if (at != 0 && Clock::now() - Clock::time_point(Clock::duration(at)) > TimeLimit) {
                const std::lock_guard<std::mutex> lock(mutex);
                std::fprintf(stderr, "FAIL: %s still runs after %lld s\n", current.c_str(),
                             static_cast<long long>(TimeLimit.count()));
                std::fflush(stderr);
                std::_Exit(1);
            }
        }
    }

    std::atomic<bool> done{false};
    std::atomic<Clock::rep> started{0};
    std::mutex mutex;
    std::string current;
    std::thread thread;
};

// What a read made of a file: the page in 48-bit RGB, or the reason.
struct Outcome {
    bool read = false;
    bool grey = false;
    HostPage page{};
    std::string reason;
    bool interrupted = false;
};

bool SamePicture(const Outcome& a, const Outcome& b)
{
    return a.read && b.read && a.grey == b.grey && a.page.width == b.page.width && a.page.height == b.page.height &&
        a.page.bytes == b.page.bytes;
}

int OpenFiles()
{
#ifdef _WIN32
    return 0;
#else
    int count = 0;
    if (DIR* fds = opendir("/proc/self/fd")) {
        while (readdir(fds)) {
            ++count;
        }
        closedir(fds);
    }
    return count;
#endif
}

Outcome ReadFile(const std::string& path, const StopCheck& stop)
{
    Outcome outcome;
    try {
        FilePtr file(std::fopen(path.c_str(), "rb"));
        if (!file) {
            outcome.reason = "cannot open " + path;
            return outcome;
        }
        std::unique_ptr<SourceImage> image = LoadSourceImage(std::move(file), stop);
        outcome.grey = image->IsGrey();
        outcome.page = BuildHostPage(*image, HostFormat::Rgb48, Dither::None, stop);
        outcome.read = true;
    } catch (const ImageLoadError& error) {
        outcome.reason = error.what();
    } catch (const ReadInterrupted&) {
        outcome.interrupted = true;
    }
    return outcome;
}

std::string BytesOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Write(const std::string& bytes)
{
    FilePtr file(std::fopen(CaseFile, "wb"));
    return file && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
        CloseWritten(std::move(file));
}

class Corpus {
public:
    // Runs one case with the watchdog on; false after a failure, said.
    bool Run(const std::string& what, const std::string& bytes, const StopCheck& stop, Outcome& outcome)
    {
        if (!Write(bytes)) {
            return Fail(what, "cannot write the case file");
        }
        const int open = OpenFiles();
        watchdog.Start(what);
        outcome = ReadFile(CaseFile, stop);
        watchdog.Stop();
        ++cases;
        if (OpenFiles() != open) {
            return Fail(what, "a file was left open");
        }
        if (!outcome.read && !outcome.interrupted && outcome.reason.empty()) {
            return Fail(what, "refused without a reason");
        }
        return true;
    }

    bool Fail(const std::string& what, const std::string& why)
    {
        std::fprintf(stderr, "FAIL: %s: %s\n", what.c_str(), why.c_str());
        ++failures;
        return false;
    }

    // The clean sample against ImageMagick's reading of it.
    bool CheckClean(const std::string& sample, const std::string& reference, int tolerance, Outcome& clean)
    {
        clean = ReadFile(sample, NeverStop);
        const Outcome expected = ReadFile(reference, NeverStop);
        if (!clean.read || !expected.read) {
            return Fail(sample, "the clean file is refused: " + clean.reason + expected.reason);
        }
        if (clean.grey != expected.grey || clean.page.width != expected.page.width ||
            clean.page.height != expected.page.height) {
            return Fail(sample, "the clean file reads as another kind or size of picture");
        }
        int worst = 0;
        for (size_t i = 0; i + 1 < clean.page.bytes.size(); i += 2) {
            const int ours = clean.page.bytes[i] | clean.page.bytes[i + 1] << 8;
            const int theirs = expected.page.bytes[i] | expected.page.bytes[i + 1] << 8;
            worst = std::max(worst, std::abs(ours - theirs));
        }
        if (worst > tolerance * 257) {
            return Fail(sample, "a sample is " + std::to_string(worst) + " of 65535 away from ImageMagick's");
        }
        return true;
    }

    void Sample(const std::string& sample, const std::string& reference, int tolerance, bool checked)
    {
        const size_t before = failures;
        const size_t casesBefore = cases;
        Outcome clean;
        if (!CheckClean(sample, reference, tolerance, clean)) {
            return;
        }
        const std::string whole = BytesOf(sample);
        const size_t size = whole.size();
        size_t refused = 0;
        Outcome outcome;

        // Cut: read whole or refused.
        std::vector<size_t> cuts;
        for (size_t length = 0; length < size && length <= EveryCutUpTo; ++length) {
            cuts.push_back(length);
        }
        for (size_t step = 1; step < LongerCuts && size > EveryCutUpTo + 1; ++step) {
            cuts.push_back(EveryCutUpTo + (size - EveryCutUpTo) * step / LongerCuts);
        }
        cuts.push_back(size - 1);
        for (const size_t length : cuts) {
            const std::string what = sample + " cut to " + std::to_string(length) + " bytes";
            if (Run(what, whole.substr(0, length), NeverStop, outcome)) {
                refused += !outcome.read;
                if (outcome.read && !SamePicture(outcome, clean)) {
                    Fail(what, "it reads as another picture");
                }
            }
        }

        // Flipped bits: refused or, where no checksum covers the byte, read
        // as whatever the damaged file holds.
        for (size_t offset = 0; offset < size; offset += offset < EveryFlipUpTo ? 1 : size / LaterFlips + 1) {
            std::string damaged = whole;
            damaged[offset] = static_cast<char>(damaged[offset] ^ (1 << offset % 8));
            const std::string what =
                sample + " with bit " + std::to_string(offset % 8) + " of byte " + std::to_string(offset) + " flipped";
            if (Run(what, damaged, NeverStop, outcome)) {
                refused += !outcome.read;
                if (checked && outcome.read && !SamePicture(outcome, clean)) {
                    Fail(what, "the damage was read as a picture");
                }
            }
        }

        // Interrupted at the n-th check: the read ends there. A check at
        // least every line keeps an interrupt from waiting on the picture.
        int checks = 0;
        const StopCheck count = [&checks] {
            ++checks;
            return false;
        };
        Run(sample + " counting checks", whole, count, outcome);
        if (checks < static_cast<int>(clean.page.height)) {
            Fail(sample,
                 "only " + std::to_string(checks) + " interrupt checks for " + std::to_string(clean.page.height) +
                     " lines");
        }
        for (int stopAt = 1; stopAt <= checks; stopAt += std::max(1, checks / Interrupts)) {
            int asked = 0;
            const std::string what = sample + " interrupted at check " + std::to_string(stopAt);
            const StopCheck stop = [&asked, stopAt] { return ++asked >= stopAt; };
            if (Run(what, whole, stop, outcome) && !outcome.interrupted) {
                Fail(what, "the read went on");
            }
        }
        std::printf("%-18s %6zu bytes %5zu cases, %5zu refused%s\n", sample.c_str(), size, cases - casesBefore, refused,
                    failures == before ? "" : ", FAILED");
    }

    size_t failures = 0;
    size_t cases = 0;

private:
    Watchdog watchdog;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: picture_corpus LIST\n");
        return 2;
    }
    const Clock::time_point start = Clock::now();
    Corpus corpus;
    std::istringstream list(BytesOf(argv[1]));
    std::string sample;
    std::string reference;
    int tolerance = 0;
    std::string checked;
    size_t samples = 0;
    while (list >> sample >> reference >> tolerance >> checked) {
        corpus.Sample(sample, reference, tolerance, checked == "crc");
        ++samples;
    }
    std::remove(CaseFile);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("%zu samples, %zu cases in %.1f s, %zu failed\n", samples, corpus.cases, seconds, corpus.failures);
    return samples == 0 || corpus.failures != 0 ? 1 : 0;
}
