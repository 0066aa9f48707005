#include "host/StatusNames.h"

namespace vlscan {

namespace {

struct Name {
    uint32_t value;
    const char* text;
};

// The plug-in's numbers; the Windows side checks them against its header.
constexpr Name statuses[] = {
    {0, "StatusOk"},
    {201, "StatusDiskFull"},
    {202, "StatusCreateFailed"},
    {203, "StatusOpenFailed"},
    {205, "StatusWriteFailed"},
    {206, "StatusCloseFailed"},
    {207, "StatusDeleteFailed"},
    {208, "StatusSeekFailed"},
    {209, "StatusBadFormat"},
    {211, "StatusBadCommand"},
    {213, "StatusNoResources"},
    {0xFFFE, "StatusNoConverter"},
    {0xFFFF, "StatusNoMemory"},
};

constexpr const char* commands[] = {"CmdDescribe", "CmdConfigure", "CmdCheckFormat", "CmdSetPalette", "CmdBeginImage",
                                    "CmdWriteBlock", "CmdFinish",   "CmdAbort",       "CmdAbout"};

} // namespace

std::string StatusText(uint16_t status)
{
    for (const Name& name : statuses) {
        if (name.value == status) {
            return std::string(name.text) + " (" + std::to_string(status) + ")";
        }
    }
    return "status " + std::to_string(status);
}

std::string CommandName(uint32_t command)
{
    if (command < sizeof commands / sizeof commands[0]) {
        return commands[command];
    }
    return "command " + std::to_string(command);
}

} // namespace vlscan
