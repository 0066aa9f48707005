#include "settings/SettingsStore.h"

#include "interface/VkExf.h"
#include "settings/JobValues.h"
#include "win32/UniqueHandle.h"

#include <cstring>

namespace vlexif {

namespace {

constexpr int32_t DefaultWindowPosition = 10;

constexpr int32_t MaxCompressRate = 100;

// One value of the types `allowed` (RRF_RT_*) into `data`, `size` bytes at
// most; `size` is then what the value holds. A REG_EXPAND_SZ is not expanded
// into a REG_SZ: it is another type.
ValueRead QueryValue(HKEY key, const char* name, DWORD allowed, void* data, DWORD& size)
{
    const LSTATUS result = RegGetValueA(key, nullptr, name, allowed | RRF_NOEXPAND, nullptr, data, &size);
    if (result == ERROR_FILE_NOT_FOUND) {
        return ValueRead::State::Absent;
    }
    return result == ERROR_SUCCESS ? ValueRead::State::Found : ValueRead::State::Foreign;
}

ValueRead QueryDword(HKEY key, const char* name, uint32_t& value)
{
    uint32_t read = 0;
    DWORD size = sizeof read;
    const ValueRead found = QueryValue(key, name, RRF_RT_DWORD, &read, size);
    if (found && size != sizeof read) {
        return ValueRead::State::Foreign;
    }
    if (found) {
        value = read;
    }
    return found;
}

ValueRead QueryString(HKEY key, const char* name, char (&buffer)[MAX_PATH])
{
    char text[MAX_PATH];
    DWORD size = sizeof text;
    const ValueRead found = QueryValue(key, name, RRF_RT_REG_SZ, text, size);
    // A text without its terminator within the buffer would be cut to
    // another name.
    if (found && std::memchr(text, '\0', size) == nullptr) {
        return ValueRead::State::Foreign;
    }
    if (found) {
        std::memcpy(buffer, text, size);
    }
    return found;
}

// The size is asked first, so that a value of another size leaves the buffer
// untouched.
ValueRead QueryBinary(HKEY key, const char* name, void* buffer, uint32_t size)
{
    DWORD stored = 0;
    ValueRead found = QueryValue(key, name, RRF_RT_REG_BINARY, nullptr, stored);
    if (found && stored == size) {
        found = QueryValue(key, name, RRF_RT_REG_BINARY, buffer, stored);
    }
    return found && stored != size ? ValueRead::State::Foreign : found;
}

[[nodiscard]] bool SetDword(HKEY key, const char* name, uint32_t value)
{
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
        ERROR_SUCCESS;
}

} // namespace

SettingsStore::SettingsStore()
{
    std::memset(&location, 0, sizeof location);
    std::memset(subkey, 0, sizeof subkey);
}

void SettingsStore::Bind(const RegistryLocation& hostLocation, const char* subkeyName)
{
    std::memcpy(&location, &hostLocation, sizeof location);
    std::memset(subkey, 0, sizeof subkey);
    std::strncpy(subkey, subkeyName, sizeof subkey - 1);
}

// The host's path is not trusted to be terminated or short enough: a path that
// does not fit is refused as if the key could not be opened.
bool SettingsStore::ComposePath(char (&path)[MAX_PATH]) const
{
    const size_t keyLength = strnlen(location.keyPath, sizeof location.keyPath);
    const size_t subkeyLength = strnlen(subkey, sizeof subkey);
    if (keyLength == sizeof location.keyPath || keyLength + 1 + subkeyLength + 1 > sizeof path) {
        return false;
    }
    std::memcpy(path, location.keyPath, keyLength);
    path[keyLength] = '\\';
    std::memcpy(path + keyLength + 1, subkey, subkeyLength);
    path[keyLength + 1 + subkeyLength] = '\0';
    return true;
}

bool SettingsStore::OpenKey(HKEY& key, REGSAM access) const
{
    char path[MAX_PATH];
    if (!ComposePath(path)) {
        return false;
    }
    return RegOpenKeyExA(location.root, path, 0, access, &key) == ERROR_SUCCESS;
}

bool SettingsStore::OpenOrCreateKey(HKEY& key) const
{
    if (OpenKey(key, KEY_SET_VALUE)) {
        return true;
    }
    char path[MAX_PATH];
    if (!ComposePath(path)) {
        return false;
    }
    char emptyClass[] = "";
    DWORD disposition = 0;
    return RegCreateKeyExA(location.root, path, 0, emptyClass, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key,
                           &disposition) == ERROR_SUCCESS;
}

ValueRead SettingsStore::ReadDword(const char* name, uint32_t& value) const
{
    UniqueRegistryKey key;
    if (!OpenKey(*key.Put(), KEY_QUERY_VALUE)) {
        return ValueRead::State::Absent;
    }
    return QueryDword(key.Get(), name, value);
}

bool SettingsStore::WriteDword(const char* name, uint32_t value) const
{
    UniqueRegistryKey key;
    return OpenOrCreateKey(*key.Put()) && SetDword(key.Get(), name, value);
}

ValueRead SettingsStore::ReadString(const char* name, char (&buffer)[MAX_PATH]) const
{
    UniqueRegistryKey key;
    if (!OpenKey(*key.Put(), KEY_QUERY_VALUE)) {
        return ValueRead::State::Absent;
    }
    return QueryString(key.Get(), name, buffer);
}

bool SettingsStore::WriteString(const char* name, const char* text) const
{
    UniqueRegistryKey key;
    return OpenOrCreateKey(*key.Put()) &&
        RegSetValueExA(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                       static_cast<DWORD>(std::strlen(text)) + 1) == ERROR_SUCCESS;
}

ValueRead SettingsStore::ReadBinary(const char* name, void* buffer, uint32_t size) const
{
    UniqueRegistryKey key;
    if (!OpenKey(*key.Put(), KEY_QUERY_VALUE)) {
        return ValueRead::State::Absent;
    }
    return QueryBinary(key.Get(), name, buffer, size);
}

bool SettingsStore::WriteBinary(const char* name, const void* data, uint32_t length) const
{
    UniqueRegistryKey key;
    return OpenOrCreateKey(*key.Put()) &&
        RegSetValueExA(key.Get(), name, 0, REG_BINARY, static_cast<const BYTE*>(data), length) == ERROR_SUCCESS;
}

void SettingsStore::DeleteValue(const char* name) const
{
    UniqueRegistryKey key;
    if (OpenKey(*key.Put(), KEY_SET_VALUE)) {
        RegDeleteValueA(key.Get(), name);
    }
}

void SettingsStore::ReadJob(JobValues& job) const
{
    job = JobValues{};
    UniqueRegistryKey key;
    if (!OpenKey(*key.Put(), KEY_QUERY_VALUE)) {
        return;
    }
    job.formatRead = QueryDword(key.Get(), "ImageFormat", job.format);
    job.fileTypeRead = QueryDword(key.Get(), "File Type", job.fileType);
    job.tempPathRead = QueryString(key.Get(), "TempFile", job.tempPath);
    job.paletteCountRead = QueryDword(key.Get(), "Palette Num", job.paletteCount);
    // Any length the table holds; a longer one is foreign.
    DWORD bytes = sizeof job.palette;
    job.paletteRead = QueryValue(key.Get(), "Palette", RRF_RT_REG_BINARY, job.palette, bytes);
    job.paletteBytes = job.paletteRead ? bytes : 0;
    job.ownerIdRead = QueryDword(key.Get(), OwnerProcessValue, job.ownerId);
    job.ownerStartedRead = QueryBinary(key.Get(), OwnerStartedValue, &job.ownerStarted, sizeof job.ownerStarted);
}

ValueRead SettingsStore::ReadCompressRate(int32_t& rate) const
{
    uint32_t value = 0;
    const ValueRead found = ReadDword("Compress Rate", value);
    if (found && value > MaxCompressRate) {
        return ValueRead::State::Foreign;
    }
    if (found) {
        rate = static_cast<int32_t>(value);
    }
    return found;
}

uint32_t SettingsStore::ReadColourMode() const
{
    uint32_t mode = VkExfColourAuto;
    if (!ReadDword("Colour Mode", mode) || mode > VkExfColourAlways) {
        return VkExfColourAuto;
    }
    return mode;
}

bool SettingsStore::ReadWindowPosition(int32_t& x, int32_t& y) const
{
    x = DefaultWindowPosition;
    y = DefaultWindowPosition;
    UniqueRegistryKey key;
    if (!OpenKey(*key.Put(), KEY_QUERY_VALUE)) {
        return false;
    }
    // Absent or foreign, a coordinate keeps its default.
    uint32_t value = 0;
    if (QueryDword(key.Get(), "Position X", value)) {
        x = static_cast<int32_t>(value);
    }
    if (QueryDword(key.Get(), "Position Y", value)) {
        y = static_cast<int32_t>(value);
    }
    return key.Close();
}

bool SettingsStore::SaveWindowPosition(HWND window) const
{
    UniqueRegistryKey key;
    if (!OpenOrCreateKey(*key.Put())) {
        return false;
    }
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    GetWindowPlacement(window, &placement);
    const bool xStored = SetDword(key.Get(), "Position X", static_cast<uint32_t>(placement.rcNormalPosition.left));
    const bool yStored = SetDword(key.Get(), "Position Y", static_cast<uint32_t>(placement.rcNormalPosition.top));
    return key.Close() && xStored && yStored;
}

} // namespace vlexif
