#include "tests/support/TestSupport.h"

#include "win32/UniqueHandle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace vlexif::test {

namespace {

int NextSerial()
{
    static int serial = 0;
    return ++serial;
}

std::string Unique(const char* stem)
{
    return std::string(stem) + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount()) +
        "-" + std::to_string(NextSerial());
}

std::string Environment(const char* name)
{
    char value[MAX_PATH] = {};
    GetEnvironmentVariableA(name, value, sizeof value);
    return value;
}

UniqueRegistryKey OpenExif(const TestRegistryKey& key)
{
    UniqueRegistryKey handle;
    RegOpenKeyExA(HKEY_CURRENT_USER, key.ExifPath().c_str(), 0, KEY_ALL_ACCESS, handle.Put());
    return handle;
}

std::vector<uint8_t> QueryRaw(const TestRegistryKey& key, const char* name, DWORD* type)
{
    const UniqueRegistryKey handle = OpenExif(key);
    std::vector<uint8_t> bytes(4096);
    DWORD size = static_cast<DWORD>(bytes.size());
    const bool read =
        handle.Valid() && RegQueryValueExA(handle.Get(), name, nullptr, type, bytes.data(), &size) == ERROR_SUCCESS;
    bytes.resize(read ? size : 0);
    return bytes;
}

void SetRaw(const TestRegistryKey& key, const char* name, DWORD type, const void* data, DWORD size)
{
    UniqueRegistryKey handle;
    RegCreateKeyExA(HKEY_CURRENT_USER, key.ExifPath().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, handle.Put(),
                    nullptr);
    RegSetValueExA(handle.Get(), name, 0, type, static_cast<const BYTE*>(data), size);
}

} // namespace

std::string ProgramDirectory()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    *(std::strrchr(path, '\\') + 1) = '\0';
    return path;
}

std::string Stage(const char* name)
{
    return ProgramDirectory() + name + "\\";
}

TestRegistryKey::TestRegistryKey() : path("Software\\VlexifTests\\" + Unique("key")) {}

TestRegistryKey::~TestRegistryKey()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
}

bool TestRegistryKey::ExifKeyExists() const
{
    return OpenExif(*this).Valid();
}

bool TestRegistryKey::HasValue(const char* name) const
{
    const UniqueRegistryKey handle = OpenExif(*this);
    return handle.Valid() && RegQueryValueExA(handle.Get(), name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

uint32_t TestRegistryKey::Dword(const char* name) const
{
    const std::vector<uint8_t> bytes = QueryRaw(*this, name, nullptr);
    uint32_t value = 0xFFFFFFFF;
    if (bytes.size() == 4) {
        std::memcpy(&value, bytes.data(), 4);
    }
    return value;
}

std::string TestRegistryKey::String(const char* name) const
{
    const std::vector<uint8_t> bytes = QueryRaw(*this, name, nullptr);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<uint8_t> TestRegistryKey::Binary(const char* name) const
{
    return QueryRaw(*this, name, nullptr);
}

void TestRegistryKey::SetDword(const char* name, uint32_t value) const
{
    SetRaw(*this, name, REG_DWORD, &value, sizeof value);
}

void TestRegistryKey::SetString(const char* name, const std::string& value) const
{
    SetRaw(*this, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void TestRegistryKey::SetBinary(const char* name, const std::vector<uint8_t>& value) const
{
    SetRaw(*this, name, REG_BINARY, value.data(), static_cast<DWORD>(value.size()));
}

void TestRegistryKey::SetTyped(const char* name, DWORD type, const std::vector<uint8_t>& value) const
{
    SetRaw(*this, name, type, value.data(), static_cast<DWORD>(value.size()));
}

void TestRegistryKey::DeleteExif() const
{
    RegDeleteTreeA(HKEY_CURRENT_USER, ExifPath().c_str());
}

TestTempDir::TestTempDir() : oldTmp(Environment("TMP")), oldTemp(Environment("TEMP"))
{
    char base[MAX_PATH] = {};
    GetTempPathA(sizeof base, base);
    path = std::string(base) + Unique("vlexif") + "\\";
    CreateDirectoryA(path.c_str(), nullptr);
    SetEnvironmentVariableA("TMP", path.c_str());
    SetEnvironmentVariableA("TEMP", path.c_str());
}

TestTempDir::~TestTempDir()
{
    SetEnvironmentVariableA("TMP", oldTmp.empty() ? nullptr : oldTmp.c_str());
    SetEnvironmentVariableA("TEMP", oldTemp.empty() ? nullptr : oldTemp.c_str());
    for (const std::string& name : Files()) {
        DeleteFileA((path + name).c_str());
    }
    RemoveDirectoryA(path.c_str());
}

std::vector<std::string> TestTempDir::Files() const
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            names.push_back(found.cFileName);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<uint8_t> TestTempDir::Read(const std::string& fileName) const
{
    return ReadWholeFile(path + fileName);
}

std::vector<uint8_t> ReadWholeFile(const std::string& path)
{
    std::vector<uint8_t> bytes;
    const UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    if (!file.Valid()) {
        return bytes;
    }
    bytes.resize(GetFileSize(file.Get(), nullptr));
    DWORD read = 0;
    if (!bytes.empty()) {
        ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    }
    bytes.resize(read);
    return bytes;
}

void WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    EXPECT_TRUE(file.Close()) << path;
}

HostRecords::HostRecords()
{
    std::memset(&params, Poison, sizeof params);
    std::memset(jobBytes, Poison, sizeof jobBytes);
    std::memset(image, Poison, sizeof image);
    params.job = &job;
    params.owner = nullptr;
    job.image = reinterpret_cast<ImageRecord*>(image);
}

void HostRecords::SetRegistry(const TestRegistryKey& key)
{
    std::memset(params.registry.keyPath, 0, sizeof params.registry.keyPath);
    std::strncpy(params.registry.keyPath, key.Path().c_str(), sizeof params.registry.keyPath - 1);
    params.registry.root = HKEY_CURRENT_USER;
}

void HostRecords::DescribeImage(uint32_t dpi, int32_t width, int32_t height, uint32_t samples, uint32_t bits,
                                uint32_t colourType)
{
    auto& view = *reinterpret_cast<ImageDescription*>(image);
    view.xDpi = dpi;
    view.yDpi = dpi;
    view.width = width;
    view.height = height;
    view.samplesPerPixel = samples;
    view.bitsPerPixel = bits;
    view.colourType = colourType;
    view.mustBeZero = 0;
}

void HostRecords::SetPalette(const std::vector<uint8_t>& entries, uint16_t count)
{
    auto& view = *reinterpret_cast<PaletteView*>(image);
    view.count = count;
    std::memcpy(image + 8, entries.data(), std::min(entries.size(), sizeof image - 8));
}

void HostRecords::SetBlock(int32_t bytesPerLine, int32_t width, int32_t lines, int32_t linesBefore, const uint8_t* data)
{
    auto& view = *reinterpret_cast<BlockView*>(image);
    view.bytesPerLine = bytesPerLine;
    view.width = width;
    view.lines = lines;
    view.linesBefore = linesBefore;
    view.data = data;
}

PluginLibrary::PluginLibrary(const std::string& stageFolder) : folder(stageFolder)
{
    Load();
}

PluginLibrary::~PluginLibrary()
{
    Unload();
}

void PluginLibrary::Load()
{
    module.Reset(LoadLibraryA((folder + "VLEXIF.dll").c_str()));
    entry = module.Valid()
        ? reinterpret_cast<VLScanEntryProc>(reinterpret_cast<void (*)()>(GetProcAddress(module.Get(), VLScanEntryName)))
        : nullptr;
}

void PluginLibrary::Unload()
{
    module.Reset();
    entry = nullptr;
}

void PluginLibrary::Reload()
{
    Unload();
    Load();
}

uint32_t PluginLibrary::Call(uint32_t command, HostParams& params) const
{
    return entry(command, &params);
}

uint32_t PluginLibrary::CallWithoutParams(uint32_t command) const
{
    return entry(command, nullptr);
}

uint32_t PluginLibrary::CallOffAlignment(uint32_t command, HostParams& params, uint32_t offset) const
{
    // Registers only: the compiler's own stack slots move with the stack.
    auto value = reinterpret_cast<uintptr_t>(entry);
    HostParams* block = &params;
    __asm__ volatile("mov %%esp, %%esi\n\t"
                     "and $-16, %%esp\n\t"
                     "sub %%ecx, %%esp\n\t"
                     "sub $8, %%esp\n\t"
                     "mov %%ebx, (%%esp)\n\t"
                     "mov %%edi, 4(%%esp)\n\t"
                     "call *%%eax\n\t"
                     "mov %%esi, %%esp"
                     : "+a"(value), "+c"(offset)
                     : "b"(command), "D"(block)
                     : "esi", "edx", "memory", "cc");
    return static_cast<uint32_t>(value);
}

Recorder::Recorder(const std::string& stageFolder) : module(LoadLibraryA((stageFolder + "VkExf.dll").c_str()))
{
    const auto access = reinterpret_cast<ConverterRecordAccess>(
        reinterpret_cast<void (*)()>(GetProcAddress(module.Get(), "Recorder_Record")));
    record = access();
    std::free(record->spoolCopy);
    std::memset(record, 0, sizeof *record);
}

Recorder::~Recorder()
{
    std::free(record->spoolCopy);
    std::memset(record, 0, sizeof *record);
}

namespace {

thread_local std::vector<CaughtMessage> caught;
thread_local HHOOK hook = nullptr;

std::string WindowText(HWND window)
{
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Caught once the box has set its texts and before it is shown: ending it
// there closes it without waiting on the display.
LRESULT CALLBACK CatchMessageBox(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_INITDIALOG) {
        HWND box = call->hwnd;
        HWND text = GetDlgItem(box, 0xFFFF);
        if (text) {
            caught.push_back({WindowText(box), WindowText(text), GetWindow(box, GW_OWNER)});
            EndDialog(box, IDOK);
        }
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

} // namespace

MessageBoxCatcher::MessageBoxCatcher()
{
    caught.clear();
    hook = SetWindowsHookExA(WH_CALLWNDPROCRET, CatchMessageBox, nullptr, GetCurrentThreadId());
}

MessageBoxCatcher::~MessageBoxCatcher()
{
    UnhookWindowsHookEx(hook);
    hook = nullptr;
}

const std::vector<CaughtMessage>& MessageBoxCatcher::Messages() const
{
    return caught;
}

OwnerWindow::OwnerWindow()
    : window(CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr))
{
}

OwnerWindow::~OwnerWindow()
{
    DestroyWindow(window);
}

std::string InCodePage(UINT codePage, const std::wstring& text)
{
    // At most three bytes in UTF-8 for a UTF-16 unit, two in a double-byte code page.
    std::string bytes(text.size() * 3, '\0');
    bytes.resize(
        static_cast<size_t>(WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                                                static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

std::wstring StoredText(HMODULE module, UINT id, LANGID language)
{
    const HRSRC found = FindResourceExW(module, MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(id / 16 + 1), language);
    const wchar_t* at = found ? static_cast<const wchar_t*>(LockResource(LoadResource(module, found))) : nullptr;
    if (!at) {
        return {};
    }
    for (UINT i = id % 16; i > 0; --i) {
        at += *at + 1;
    }
    return std::wstring(at + 1, *at);
}

} // namespace vlexif::test
