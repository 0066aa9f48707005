#include "host/job/HostRegistry.h"

#include "host/job/HostRecords.h"

#include <string>

namespace vlscan {

bool StoreCompressRate(uint32_t rate)
{
    const std::string path = std::string(HostKeyPath) + "\\EXIF";
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    const DWORD value = rate;
    const bool stored = RegSetValueExA(key, "Compress Rate", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                       sizeof value) == ERROR_SUCCESS;
    RegCloseKey(key);
    return stored;
}

} // namespace vlscan
