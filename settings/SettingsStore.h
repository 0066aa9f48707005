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

    bool ReadDword(const char* name, uint32_t& value) const;
    bool WriteDword(const char* name, uint32_t value) const;
    bool ReadString(const char* name, char (&buffer)[MAX_PATH]) const;
    bool WriteString(const char* name, const char* text) const;
    bool ReadBinary(const char* name, void* buffer, uint32_t capacity) const;
    bool WriteBinary(const char* name, const void* data, uint32_t length) const;
    void DeleteValue(const char* name) const;

    // x and y are 10, 10 unless stored; the result says whether the key exists.
    bool ReadWindowPosition(int32_t& x, int32_t& y) const;
    bool SaveWindowPosition(HWND window) const;

private:
    bool OpenKey(HKEY& key) const;
    bool OpenOrCreateKey(HKEY& key) const;
    bool ComposePath(char (&path)[MAX_PATH]) const;

    RegistryLocation location;
    char subkey[MAX_PATH];
};

} // namespace vlexif
