// Typed values under the host's registry key plus a subkey. Keeps no key open
// between operations, so a value written in one host call is found by the next
// even when the module was unloaded in between.
#pragma once

#include "interface/HostInterface.h"

namespace vlexif {

class SettingsStore {
public:
    SettingsStore();

    void Bind(const RegistryLocation& hostLocation, const char* subkeyName);

    [[nodiscard]] bool ReadDword(const char* name, uint32_t& value) const;
    [[nodiscard]] bool WriteDword(const char* name, uint32_t value) const;
    [[nodiscard]] bool ReadString(const char* name, char (&buffer)[MAX_PATH]) const;
    [[nodiscard]] bool WriteString(const char* name, const char* text) const;
    [[nodiscard]] bool ReadBinary(const char* name, void* buffer, uint32_t capacity) const;
    [[nodiscard]] bool WriteBinary(const char* name, const void* data, uint32_t length) const;
    void DeleteValue(const char* name) const;

    // x and y are 10, 10 unless stored; the result says whether the key exists.
    [[nodiscard]] bool ReadWindowPosition(int32_t& x, int32_t& y) const;
    // False unless both values were stored and the key closed.
    [[nodiscard]] bool SaveWindowPosition(HWND window) const;

private:
    [[nodiscard]] bool OpenKey(HKEY& key) const;
    [[nodiscard]] bool OpenOrCreateKey(HKEY& key) const;
    [[nodiscard]] bool ComposePath(char (&path)[MAX_PATH]) const;

    RegistryLocation location;
    char subkey[MAX_PATH];
};

} // namespace vlexif
