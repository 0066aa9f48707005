// The converter's export, for the plug-in and hosts that load VkExf.dll.
// Converts the 24-bit BMP at spoolPath into the JPEG the job record names
// (see JobDestination.h), with versionText as the EXIF Software and quality
// clamped to 1..100. The low 16 bits of the result are 0 on success, else a
// status from ConverterStatus.h. The spool file is only read.
#pragma once

#include <cstdint>

extern "C" uint32_t __cdecl VkExf_Entry(const char* versionText, const void* jobRecord, const char* spoolPath,
                                        int32_t quality);

// Why this process's last failed VkExf_Entry failed, in words for the user
// ("cannot replace D:\scans\page.jpg: the file is read-only"), or an empty
// text after a success. Copies at most `size` bytes including the
// terminating NUL into `text` and returns the full length without the NUL.
// The text lives as long as the DLL stays loaded: a host that wants it after
// the plug-in's Finish loads VkExf.dll itself for the job's duration.
extern "C" uint32_t __cdecl VkExf_LastError(char* text, uint32_t size);

// The status for a destination that could not be replaced, another program
// holding it, whose new JPEG was kept beside it under a name with " (new)"
// before the extension; VkExf_LastError names the file. The old file is
// intact. The plug-in tells the user where the page went.
constexpr uint32_t VkExfSavedBeside = 210;

// The status of this process's last VkExf_Entry call, as its low 16 bits
// were: 0 after a success. A host tells VkExfSavedBeside from a failure by it.
extern "C" uint32_t __cdecl VkExf_LastStatus();

// How the converter decides whether a page is saved grey (as its luma) or
// in colour. An unknown value is taken as VkExfColourAuto.
enum VkExfColourMode : uint32_t {
    // Grey unless some region of the page shows colour beyond what a
    // scanner's noise, its fringes on edges and the paper's tint give.
    VkExfColourAuto = 0,
    // Grey only when every pixel is grey (R = G = B).
    VkExfColourExact = 1,
    // Always in colour.
    VkExfColourAlways = 2,
};

// The options of one conversion. `size` is the record's size as the caller
// knows it, so that a later converter can grow it: fields past `size` take
// their defaults, and the reserved ones must be zero.
struct VkExfOptions {
    uint32_t size;       // sizeof(VkExfOptions) as the caller was built
    int32_t quality;     // clamped to 1..100, as VkExf_Entry's
    uint32_t colourMode; // a VkExfColourMode
    uint32_t reserved[5];
};
static_assert(sizeof(VkExfOptions) == 32, "the options record is a binary contract");

// VkExf_Entry with options. VkExf_Entry(v, j, s, q) converts as this does
// with quality q and VkExfColourAuto. A null `options`, or one whose size
// is below the fields up to colourMode, is refused as a bad argument.
extern "C" uint32_t __cdecl VkExf_EntryWithOptions(const char* versionText, const void* jobRecord,
                                                   const char* spoolPath, const VkExfOptions* options);

using VkExfEntryProc = decltype(&VkExf_Entry);
constexpr char VkExfEntryName[] = "VkExf_Entry";
using VkExfEntryWithOptionsProc = decltype(&VkExf_EntryWithOptions);
constexpr char VkExfEntryWithOptionsName[] = "VkExf_EntryWithOptions";
using VkExfLastErrorProc = decltype(&VkExf_LastError);
constexpr char VkExfLastErrorName[] = "VkExf_LastError";
using VkExfLastStatusProc = decltype(&VkExf_LastStatus);
constexpr char VkExfLastStatusName[] = "VkExf_LastStatus";
