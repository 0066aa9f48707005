// Ctrl+C and Ctrl+Break during a scan: noted, so the job can be aborted
// between two plug-in calls instead of the process dying inside one.
#pragma once

namespace vlscan {

void CatchInterrupts();
bool InterruptRequested();

} // namespace vlscan
