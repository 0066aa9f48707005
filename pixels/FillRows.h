// What fills a block's rows in the work block: a callable seen through a
// plain function pointer and its address. Unlike std::function it never
// allocates, so handing it over cannot fail, and nothing can throw out of
// the host's entry when memory runs short. The callable must outlive the
// call it is handed to (a lambda written in the call's argument list does).
#pragma once

#include "pixels/HostBlock.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace vlexif {

class FillRows {
public:
    // None: the block is refused once the spool file has been opened.
    FillRows(std::nullptr_t) {}

    template <typename Fill, typename = std::enable_if_t<!std::is_same_v<std::decay_t<Fill>, FillRows>>>
    FillRows(const Fill& fill)
        : callable(&fill), call([](const void* c, const HostBlock& block, uint8_t* rows, uint32_t stride) {
              (*static_cast<const Fill*>(c))(block, rows, stride);
          })
    {
    }

    explicit operator bool() const { return call != nullptr; }
    void operator()(const HostBlock& block, uint8_t* rows, uint32_t stride) const
    {
        call(callable, block, rows, stride);
    }

private:
    const void* callable = nullptr;
    void (*call)(const void*, const HostBlock&, uint8_t*, uint32_t) = nullptr;
};

} // namespace vlexif
