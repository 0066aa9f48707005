#include "host/job/HostRegistry.h"

#include "win32/UniqueHandle.h"

#include "host/job/HostRecords.h"

#include <string>

namespace vlscan {

namespace {

constexpr DWORD MaxCompressRate = 100;

std::string SettingsKey()
{
    return std::string(HostKeyPath) + "\\EXIF";
}

[[nodiscard]] bool StoreDword(const char* name, uint32_t value)
{
    vlexif::UniqueRegistryKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey().c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Put(),
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const DWORD stored = value;
    return RegSetValueExA(key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&stored), sizeof stored) ==
        ERROR_SUCCESS &&
        key.Close();
}

} // namespace

bool StoreCompressRate(uint32_t rate)
{
    return StoreDword("Compress Rate", rate);
}

bool StoreColourMode(uint32_t mode)
{
    return StoreDword("Colour Mode", mode);
}

std::optional<uint32_t> StoredCompressRate()
{
    DWORD value = 0;
    DWORD size = sizeof value;
    // Read as the plug-in reads it: a DWORD (or 4 bytes of binary) from 0 to
    // 100, anything else no rate at all.
    if (RegGetValueA(HKEY_CURRENT_USER, SettingsKey().c_str(), "Compress Rate", RRF_RT_DWORD, nullptr, &value, &size) !=
            ERROR_SUCCESS ||
        size != sizeof value || value > MaxCompressRate) {
        return std::nullopt;
    }
    return value;
}

} // namespace vlscan
