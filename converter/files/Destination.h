// The job record's texts, copied out without reading past any field.
#pragma once

#include "interface/JobDestination.h"

namespace vkexf {

struct Destination {
    char path[sizeof JobDestination::outputPath] = {};
    char make[sizeof JobDestination::make + 1] = {};   // empty when absent
    char model[sizeof JobDestination::model + 1] = {}; // empty when absent
};

// False when there is no record, the path is empty or has no terminator in
// its field. A make or model filling its whole field is taken as it stands.
[[nodiscard]] bool ReadDestination(const JobDestination* record, Destination& destination);

} // namespace vkexf
