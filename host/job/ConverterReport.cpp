#include "host/job/ConverterReport.h"

#include "host/console/AnsiText.h"
#include "interface/VkExf.h"
#include "win32/Companion.h"

namespace vlscan {

ConverterReport::ConverterReport() : module(vlexif::LoadCompanion(nullptr, L"VkExf.dll")) {}

std::string ConverterReport::LastError() const
{
    if (!module.Valid()) {
        return {};
    }
    const auto lastError = reinterpret_cast<VkExfLastErrorProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(module.Get(), VkExfLastErrorName)));
    if (!lastError) {
        return {};
    }
    char text[1024];
    const uint32_t length = lastError(text, sizeof text);
    // A longer text comes back cut at the buffer's end, still terminated.
    return Utf8FromAnsi(std::string(text, length < sizeof text ? length : sizeof text - 1));
}

uint32_t ConverterReport::LastStatus() const
{
    if (!module.Valid()) {
        return 0;
    }
    const auto lastStatus = reinterpret_cast<VkExfLastStatusProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(module.Get(), VkExfLastStatusName)));
    return lastStatus ? lastStatus() : 0;
}

} // namespace vlscan
