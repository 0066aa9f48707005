#include "win32/AnsiCodePage.h"

#include <windows.h>

namespace vlexif {

LeadBytes CodePageLeadBytes(unsigned codePage)
{
    CPINFO info;
    if (!GetCPInfo(codePage, &info)) {
        return {};
    }
    return {info.LeadByte, sizeof info.LeadByte};
}

LeadBytes AnsiLeadBytes()
{
    return CodePageLeadBytes(CP_ACP);
}

} // namespace vlexif
