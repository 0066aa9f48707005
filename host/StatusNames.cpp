#include "host/StatusNames.h"

#include "entry/HostInterface.h"

namespace vlscan {

namespace {

struct Name {
    uint32_t value;
    const char* text;
};

#define STATUS_NAME(status) {vlexif::status, #status}
constexpr Name statuses[] = {
    STATUS_NAME(StatusOk),          STATUS_NAME(StatusDiskFull),    STATUS_NAME(StatusCreateFailed),
    STATUS_NAME(StatusOpenFailed),  STATUS_NAME(StatusWriteFailed), STATUS_NAME(StatusCloseFailed),
    STATUS_NAME(StatusDeleteFailed), STATUS_NAME(StatusSeekFailed), STATUS_NAME(StatusBadFormat),
    STATUS_NAME(StatusBadCommand),  STATUS_NAME(StatusNoResources), STATUS_NAME(StatusNoConverter),
    STATUS_NAME(StatusNoMemory),
};
#undef STATUS_NAME

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
