// Where the host wants the JPEG: the parts of its job record the converter
// reads. The host owns the record; the plug-in writes only 0x104..0x111
// (including its image pointer at 0x10C), which this view leaves opaque.
// Texts are ANSI, NUL-terminated within their fields.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vkexf {

#pragma pack(push, 1)
struct JobDestination {
    char outputPath[260];     // 0x000 full path of the JPEG to write
    uint8_t pluginArea[0x1C]; // 0x104 plug-in's short text, image pointer, flags
    char make[64];            // 0x120 EXIF Make; empty when the host has none
    char model[64];           // 0x160 EXIF Model; empty when the host has none
};
#pragma pack(pop)

static_assert(offsetof(JobDestination, outputPath) == 0x000);
static_assert(offsetof(JobDestination, pluginArea) == 0x104);
static_assert(offsetof(JobDestination, make) == 0x120);
static_assert(offsetof(JobDestination, model) == 0x160);
static_assert(sizeof(JobDestination) == 0x1A0);

} // namespace vkexf
