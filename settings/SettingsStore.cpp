#include "settings/SettingsStore.h"

#include "win32/UniqueHandle.h"

#include <cstring>

namespace vlexif {

namespace {

constexpr int32_t DefaultWindowPosition = 10;

[[nodiscard]] bool QueryDword(HKEY key, const char* name, uint32_t& value)
{
    uint8_t buffer[4] = {};
    DWORD size = sizeof buffer;
    if (RegQueryValueExA(key, name, nullptr, nullptr, buffer, &size) != ERROR_SUCCESS) {
        return false;
    }
    // A shorter value reads with its missing bytes zero.
    std::memcpy(&value, buffer, sizeof value);
    return true;
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

bool SettingsStore::OpenKey(HKEY& key) const
{
    char path[MAX_PATH];
    if (!ComposePath(path)) {
        return false;
    }
    return RegOpenKeyExA(location.root, path, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS;
}

bool SettingsStore::OpenOrCreateKey(HKEY& key) const
{
    if (OpenKey(key)) {
        return true;
    }
    char path[MAX_PATH];
    if (!ComposePath(path)) {
        return false;
    }
    char emptyClass[] = "";
    DWORD disposition = 0;
    return RegCreateKeyExA(location.root, path, 0, emptyClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                           &disposition) == ERROR_SUCCESS;
}

bool SettingsStore::ReadDword(const char* name, uint32_t& value) const
{
    UniqueRegistryKey key;
    return OpenKey(*key.Put()) && QueryDword(key.Get(), name, value);
}

bool SettingsStore::WriteDword(const char* name, uint32_t value) const
{
    UniqueRegistryKey key;
    return OpenOrCreateKey(*key.Put()) && SetDword(key.Get(), name, value);
}

bool SettingsStore::ReadString(const char* name, char (&buffer)[MAX_PATH]) const
{
    UniqueRegistryKey key;
    if (!OpenKey(*key.Put())) {
        return false;
    }
    DWORD size = sizeof buffer;
    if (RegQueryValueExA(key.Get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS) {
        buffer[0] = '\0';
        return false;
    }
    // A stored text need not carry its terminator; one that fills the whole
    // buffer without it would be cut to another name, so it does not count.
    if (std::memchr(buffer, '\0', size) == nullptr) {
        if (size == sizeof buffer) {
            buffer[0] = '\0';
            return false;
        }
        buffer[size] = '\0';
    }
    return true;
}

bool SettingsStore::WriteString(const char* name, const char* text) const
{
    UniqueRegistryKey key;
    return OpenOrCreateKey(*key.Put()) &&
        RegSetValueExA(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                       static_cast<DWORD>(std::strlen(text)) + 1) == ERROR_SUCCESS;
}

bool SettingsStore::ReadBinary(const char* name, void* buffer, uint32_t capacity) const
{
    UniqueRegistryKey key;
    DWORD size = capacity;
    return OpenKey(*key.Put()) &&
        RegQueryValueExA(key.Get(), name, nullptr, nullptr, static_cast<BYTE*>(buffer), &size) == ERROR_SUCCESS;
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
    if (OpenKey(*key.Put())) {
        RegDeleteValueA(key.Get(), name);
    }
}

bool SettingsStore::ReadWindowPosition(int32_t& x, int32_t& y) const
{
    x = DefaultWindowPosition;
    y = DefaultWindowPosition;
    UniqueRegistryKey key;
    if (!OpenKey(*key.Put())) {
        return false;
    }
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
