// A JPEG decoded by libjpeg, the tests' independent reader of what the
// converter wrote.
#pragma once

#include <cstdint>
#include <vector>

namespace vkexf::test {

// The decoded pixels, each component of a pixel in turn, row after row;
// none if libjpeg found anything amiss.
std::vector<uint8_t> DecodeJpeg(const std::vector<uint8_t>& jpeg);

} // namespace vkexf::test
