// What the tests' stand-in converter saw at its last call, and the result it
// is told to give. Shared by the converter DLL and the tests that load it.
#pragma once

#include <cstdint>

struct ConverterRecord {
    int calls;
    char versionText[64];
    const void* jobRecord;
    char spoolPath[260];
    int32_t quality;
    uint32_t optionsSize; // 0 when called through VkExf_Entry
    uint32_t colourMode;
    uint32_t result;          // returned by the next call
    unsigned char* spoolCopy; // the spool file's bytes at the call
    uint32_t spoolCopySize;
};

// Exported by the recording converter, undecorated.
using ConverterRecordAccess = ConverterRecord*(__cdecl*)();
