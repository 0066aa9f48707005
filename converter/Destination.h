// The job record's texts, copied out without reading past any field.
#pragma once

#include "converter/JobDestination.h"

#include <optional>
#include <string>

namespace vkexf {

struct Destination {
    std::string path;
    std::string make;  // empty when absent
    std::string model; // empty when absent
};

// Empty when there is no record, the path is empty or has no terminator in
// its field. A make or model filling its whole field is taken as it stands.
std::optional<Destination> ReadDestination(const JobDestination* record);

} // namespace vkexf
