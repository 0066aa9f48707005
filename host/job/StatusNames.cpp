#include "host/job/StatusNames.h"

#include "interface/HostInterface.h"

namespace vlscan {

namespace {

struct Name {
    uint32_t value;
    const char* text;
};

#define STATUS_NAME(status)                                                                                            \
    {                                                                                                                  \
        vlexif::status, #status                                                                                        \
    }
constexpr Name Statuses[] = {
    STATUS_NAME(StatusOk),           STATUS_NAME(StatusDiskFull),    STATUS_NAME(StatusCreateFailed),
    STATUS_NAME(StatusOpenFailed),   STATUS_NAME(StatusWriteFailed), STATUS_NAME(StatusCloseFailed),
    STATUS_NAME(StatusDeleteFailed), STATUS_NAME(StatusSeekFailed),  STATUS_NAME(StatusBadFormat),
    STATUS_NAME(StatusBadCommand),   STATUS_NAME(StatusNoResources), STATUS_NAME(StatusNoConverter),
    STATUS_NAME(StatusNoMemory),
};
#undef STATUS_NAME

constexpr const char* Commands[] = {"CmdDescribe",   "CmdConfigure", "CmdCheckFormat", "CmdSetPalette", "CmdBeginImage",
                                    "CmdWriteBlock", "CmdFinish",    "CmdAbort",       "CmdAbout"};

// The status alone says what failed, except where the command adds to it.
constexpr Name Failures[] = {
    {vlexif::StatusDiskFull, "there is not enough free disk space for the spool file in the temporary folder"},
    {vlexif::StatusCreateFailed, "the plug-in cannot create its spool file in the temporary folder"},
    {vlexif::StatusOpenFailed, "the plug-in cannot open its spool file: another program may be holding it"},
    {vlexif::StatusWriteFailed, "the plug-in cannot write its spool file"},
    {vlexif::StatusCloseFailed, "the plug-in cannot close its spool file"},
    {vlexif::StatusDeleteFailed, "the plug-in cannot delete its spool file"},
    {vlexif::StatusSeekFailed, "the plug-in cannot seek in its spool file"},
    {vlexif::StatusBadFormat, "the plug-in refused the image or a block of it"},
    {vlexif::StatusBadCommand, "the plug-in does not know the command"},
    {vlexif::StatusNoResources, "the plug-in's texts, Vlexifres.dll, are missing beside it"},
    {vlexif::StatusNoConverter, "the converter, VkExf.dll, is missing beside the plug-in"},
    {vlexif::StatusNoMemory, "the plug-in ran out of memory"},
};

} // namespace

std::string FailureText(uint32_t command, uint16_t status)
{
    if (command == vlexif::CmdCheckFormat && status == vlexif::StatusBadFormat) {
        return "the plug-in does not accept this pixel format";
    }
    for (const Name& failure : Failures) {
        if (failure.value == status) {
            return failure.text;
        }
    }
    return "the plug-in failed";
}

std::string StatusText(uint16_t status)
{
    for (const Name& name : Statuses) {
        if (name.value == status) {
            return std::string(name.text) + " (" + std::to_string(status) + ")";
        }
    }
    return "status " + std::to_string(status);
}

std::string CommandName(uint32_t command)
{
    if (command < sizeof Commands / sizeof Commands[0]) {
        return Commands[command];
    }
    return "command " + std::to_string(command);
}

} // namespace vlscan
