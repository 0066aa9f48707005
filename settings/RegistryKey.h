// Owns one open registry key and closes it on every path.
#pragma once

#include <windows.h>

namespace vlexif {

class RegistryKey {
public:
    RegistryKey() = default;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey() { Close(); }

    HKEY* Out() { return &key; }
    HKEY Get() const { return key; }

    // The close result matters to the window-position operations.
    bool Close()
    {
        if (!key) {
            return true;
        }
        const LONG result = RegCloseKey(key);
        key = nullptr;
        return result == ERROR_SUCCESS;
    }

private:
    HKEY key = nullptr;
};

} // namespace vlexif
