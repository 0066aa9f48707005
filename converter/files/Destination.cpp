#include "converter/files/Destination.h"

#include <cstring>

namespace vkexf {

namespace {

template <size_t N, size_t M>
void CopyField(char (&out)[M], const char (&field)[N])
{
    static_assert(M > N, "room for the field and a terminator");
    const size_t length = strnlen(field, N);
    std::memcpy(out, field, length);
    out[length] = '\0';
}

} // namespace

bool ReadDestination(const JobDestination* record, Destination& destination)
{
    if (!record) {
        return false;
    }
    const auto& path = record->outputPath;
    if (!std::memchr(path, '\0', sizeof path) || path[0] == '\0') {
        return false;
    }
    std::strcpy(destination.path, path);
    CopyField(destination.make, record->make);
    CopyField(destination.model, record->model);
    return true;
}

} // namespace vkexf
