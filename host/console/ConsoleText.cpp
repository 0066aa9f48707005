#include "host/console/ConsoleText.h"

#include "host/console/WidePath.h"

#include <windows.h>
#include <shellapi.h>

namespace vlscan {

std::vector<std::string> ProgramArguments()
{
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    if (!wide) {
        return arguments;
    }
    for (int i = 1; i < count; ++i) {
        arguments.push_back(Utf8Text(wide[i]));
    }
    LocalFree(wide);
    return arguments;
}

void WriteText(std::FILE* stream, const std::string& utf8)
{
    // Whatever the C stream holds goes first, so the texts keep their order.
    std::fflush(stream);
    const HANDLE handle = GetStdHandle(stream == stdout ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        const std::wstring wide = WidePath(utf8);
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    std::fflush(stream);
}

} // namespace vlscan
