#include "converter/Destination.h"

#include <cstring>

namespace vkexf {

namespace {

template <size_t N>
std::string FieldText(const char (&field)[N])
{
    const void* end = std::memchr(field, '\0', N);
    return std::string(field, end ? static_cast<const char*>(end) : field + N);
}

} // namespace

std::optional<Destination> ReadDestination(const JobDestination* record)
{
    if (!record)
        return std::nullopt;
    const auto& path = record->outputPath;
    if (!std::memchr(path, '\0', sizeof path) || path[0] == '\0')
        return std::nullopt;
    return Destination{FieldText(path), FieldText(record->make), FieldText(record->model)};
}

} // namespace vkexf
