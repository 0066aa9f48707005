// What the Windows-side tests share: a registry key and a temporary folder of
// their own, host records laid out as a host lays them, the plug-in loaded
// from a staging folder, and a catcher for the message boxes it shows.
#pragma once

#include "interface/HostInterface.h"
#include "tests/support/RecordingConverter.h"
#include "win32/UniqueHandle.h"

#include <string>
#include <vector>

namespace vlexif::test {

// The folder of the running test program, with a trailing backslash.
std::string ProgramDirectory();

// A key under HKEY_CURRENT_USER of this test's own, deleted with all below it.
class TestRegistryKey {
public:
    TestRegistryKey();
    ~TestRegistryKey();
    const std::string& Path() const { return path; }
    std::string ExifPath() const { return path + "\\EXIF"; }
    bool ExifKeyExists() const;
    bool HasValue(const char* name) const;
    uint32_t Dword(const char* name) const;
    std::string String(const char* name) const;
    std::vector<uint8_t> Binary(const char* name) const;
    void SetDword(const char* name, uint32_t value) const;
    void SetString(const char* name, const std::string& value) const;
    void SetBinary(const char* name, const std::vector<uint8_t>& value) const;
    // Any type with any bytes: what another program may leave there.
    void SetTyped(const char* name, DWORD type, const std::vector<uint8_t>& value) const;
    // The plug-in's subkey and every value in it gone.
    void DeleteExif() const;

private:
    std::string path;
};

// A fresh temporary folder that the process's TMP and TEMP point at while it lives.
class TestTempDir {
public:
    TestTempDir();
    ~TestTempDir();
    const std::string& Path() const { return path; }
    // Names of the files in it, sorted.
    std::vector<std::string> Files() const;
    std::vector<uint8_t> Read(const std::string& fileName) const;

private:
    std::string path;
    std::string oldTmp;
    std::string oldTemp;
};

std::vector<uint8_t> ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);

constexpr uint8_t Poison = 0xCD;

// The host's three records in the host's memory, filled with a poison byte so
// that a test can prove what the plug-in wrote and what it left alone.
struct HostRecords {
    HostRecords();
    void SetRegistry(const TestRegistryKey& key);
    void DescribeImage(uint32_t dpi, int32_t width, int32_t height, uint32_t samples, uint32_t bits,
                       uint32_t colourType);
    // Host palette entries: index, red, green, blue.
    void SetPalette(const std::vector<uint8_t>& entries, uint16_t count);
    void SetBlock(int32_t bytesPerLine, int32_t width, int32_t lines, int32_t linesBefore, const uint8_t* data);

    HostParams params;
    union {
        JobRecord job;
        uint8_t jobBytes[0x200];
    };
    // Large enough for the palette view with every entry a 16-bit count names.
    alignas(4) uint8_t image[8 + 4 * 65536];
};

// VLEXIF.dll loaded from one of the staging folders beside the test program.
class PluginLibrary {
public:
    explicit PluginLibrary(const std::string& stageFolder);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    bool Loaded() const { return module.Valid(); }
    uint32_t Call(uint32_t command, HostParams& params) const;
    // The call a broken host makes: no parameter block at all.
    uint32_t CallWithoutParams(uint32_t command) const;
    // The call of a host that keeps the stack only 4-byte aligned, as MSVC's
    // code does: the stack pointer at the call is `offset` + 8 bytes below a
    // 16-byte boundary (offsets 0, 4, 8 and 12 give every residue).
    uint32_t CallOffAlignment(uint32_t command, HostParams& params, uint32_t offset) const;
    void Reload();
    void Unload();
    const std::string& Folder() const { return folder; }

private:
    void Load();

    std::string folder;
    UniqueModule module;
    VLScanEntryProc entry = nullptr;
};

// The stand-in converter in a staging folder, held loaded by the test so its
// record outlives the plug-in's own load and unload.
class Recorder {
public:
    explicit Recorder(const std::string& stageFolder);
    ~Recorder();
    ConverterRecord& operator*() const { return *record; }
    ConverterRecord* operator->() const { return record; }

private:
    UniqueModule module;
    ConverterRecord* record = nullptr;
};

struct CaughtMessage {
    std::string caption;
    std::string text;
    HWND owner;
};

// Catches the message boxes this thread shows, notes them and closes them.
class MessageBoxCatcher {
public:
    MessageBoxCatcher();
    ~MessageBoxCatcher();
    const std::vector<CaughtMessage>& Messages() const;
};

// A hidden top-level window to own dialogs and message boxes.
class OwnerWindow {
public:
    OwnerWindow();
    ~OwnerWindow();
    HWND Handle() const { return window; }

private:
    HWND window = nullptr;
};

// The staging folders the build lays out beside the test program.
std::string Stage(const char* name);

// `text` in code page `codePage` (CP_UTF8 among them), unmappable characters
// as the system substitutes them.
std::string InCodePage(UINT codePage, const std::wstring& text);

// Text `id` of `module`'s string table in `language`, read from its block of
// sixteen counted strings as stored; empty when there is none.
std::wstring StoredText(HMODULE module, UINT id, LANGID language);

} // namespace vlexif::test
