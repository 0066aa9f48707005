// The lead bytes of the ANSI code page, which the host's records, the job's
// paths and the registry's texts are written in.
#pragma once

#include "win32/AnsiChars.h"

namespace vlexif {

// Those of `codePage`: CP_ACP for the ANSI code page; none when Windows does
// not know it.
LeadBytes CodePageLeadBytes(unsigned codePage);

LeadBytes AnsiLeadBytes();

} // namespace vlexif
