// Typed values under the host's registry key plus a subkey. Keeps no key open
// between operations, so a value written in one host call is found by the next
// even when the module was unloaded in between.
#pragma once

#include "interface/HostInterface.h"

namespace vlexif {

struct JobValues;

// What a read found. True only for a value of the type and size asked for,
// which is then in the output; anything else leaves the output as it was.
// A value of another type or size is foreign: never reinterpreted, and told
// apart from an absent one for the readers to whom that matters.
class [[nodiscard]] ValueRead {
public:
    enum class State : uint8_t { Absent, Found, Foreign };

    constexpr ValueRead(State state) : state(state) {}
    constexpr explicit operator bool() const { return state == State::Found; }
    constexpr bool Foreign() const { return state == State::Foreign; }

private:
    State state;
};

class SettingsStore {
public:
    SettingsStore();

    void Bind(const RegistryLocation& hostLocation, const char* subkeyName);

    // REG_DWORD, or REG_BINARY of exactly 4 bytes, which has always read alike.
    ValueRead ReadDword(const char* name, uint32_t& value) const;
    [[nodiscard]] bool WriteDword(const char* name, uint32_t value) const;
    // REG_SZ only, its terminator within the buffer.
    ValueRead ReadString(const char* name, char (&buffer)[MAX_PATH]) const;
    [[nodiscard]] bool WriteString(const char* name, const char* text) const;
    // REG_BINARY of exactly `size` bytes.
    ValueRead ReadBinary(const char* name, void* buffer, uint32_t size) const;
    [[nodiscard]] bool WriteBinary(const char* name, const void* data, uint32_t length) const;
    void DeleteValue(const char* name) const;

    // Every value of the job, with one open of the key; with none, all absent.
    void ReadJob(JobValues& job) const;

    // "Compress Rate" when it holds a rate the compression dialog can store,
    // 0 to 100; another number is no choice of the user's and is foreign.
    ValueRead ReadCompressRate(int32_t& rate) const;
    // "Colour Mode": how the converter tells grey pages from colour ones, a
    // VkExfColourMode. Absent, of another type or an unknown number, it is
    // the default, automatic: no choice of the user's.
    uint32_t ReadColourMode() const;

    // x and y are 10, 10 unless stored; the result says whether the key exists.
    [[nodiscard]] bool ReadWindowPosition(int32_t& x, int32_t& y) const;
    // False unless both values were stored and the key closed.
    [[nodiscard]] bool SaveWindowPosition(HWND window) const;

private:
    [[nodiscard]] bool OpenKey(HKEY& key, REGSAM access) const;
    [[nodiscard]] bool OpenOrCreateKey(HKEY& key) const;
    [[nodiscard]] bool ComposePath(char (&path)[MAX_PATH]) const;

    RegistryLocation location;
    char subkey[MAX_PATH];
};

} // namespace vlexif
