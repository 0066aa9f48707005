// Status codes VkExf_Entry returns in the low 16 bits, numbered like the
// plug-in's own. The plug-in only tells zero from non-zero; the distinct
// values are for vkexf-run and the tests.
#pragma once

#include <cstdint>
#include <exception>

namespace vkexf {

enum Status : uint16_t {
    StatusOk = 0,
    StatusDiskFull = 201,
    StatusCreateFailed = 202,  // temporary output file
    StatusReadFailed = 203,    // spool file could not be opened or read
    StatusWriteFailed = 205,   // writing or encoding the JPEG
    StatusReplaceFailed = 206, // moving the finished file over the destination
    StatusSeekFailed = 208,
    StatusBadFormat = 209,     // spool file is not a BMP this converter reads
    StatusBadArguments = 211,  // missing job record, destination or spool path
    StatusNoMemory = 0xFFFF,
};

// Thrown inside the converter and turned into a status at the exported entry.
class ConverterError : public std::exception {
public:
    explicit ConverterError(Status status) : status_(status) {}
    Status status() const { return status_; }
    const char* what() const noexcept override { return "VkExf conversion failed"; }

private:
    Status status_;
};

} // namespace vkexf
