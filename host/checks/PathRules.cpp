#include "host/checks/PathRules.h"

#include <cctype>

namespace vlscan {

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool StartsWith(const std::string& text, const char* prefix)
{
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

// UTF-16 units of UTF-8 text: one per character, two beyond the BMP.
size_t Utf16Length(const std::string& utf8)
{
    size_t length = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        length += (byte & 0xC0) != 0x80 ? 1 : 0;
        length += byte >= 0xF0 ? 1 : 0;
    }
    return length;
}

// The device a name stands for whatever its extension, as Windows reads it:
// the part before the first dot, trailing spaces dropped, in any case.
std::string DeviceOf(const std::string& name)
{
    std::string stem = name.substr(0, name.find('.'));
    stem.erase(stem.find_last_not_of(' ') + 1);
    for (char& c : stem) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
        if (stem == device) {
            return stem;
        }
    }
    if (StartsWith(stem, "COM") || StartsWith(stem, "LPT")) {
        const std::string number = stem.substr(3);
        // A digit, or a superscript one, two or three.
        if ((number.size() == 1 && std::isdigit(static_cast<unsigned char>(number[0]))) || number == "\xC2\xB9" ||
            number == "\xC2\xB2" || number == "\xC2\xB3") {
            return stem;
        }
    }
    return {};
}

std::string NameBreach(const std::string& name)
{
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20) {
            return "a name in it holds a tab or another control character, which Windows does not allow in names";
        }
    }
    const size_t reserved = name.find_first_of("<>:\"|?*");
    if (reserved != std::string::npos) {
        return std::string("a name in it holds '") + name[reserved] +
            "', which Windows does not allow in names (nor any of < > : \" | ? *)";
    }
    const size_t length = Utf16Length(name);
    if (length > MaxNameLength) {
        return "a name in it has " + std::to_string(length) + " characters; Windows allows at most " +
            std::to_string(MaxNameLength);
    }
    const std::string device = DeviceOf(name);
    if (!device.empty()) {
        return device + " is the name of a device on Windows, with any extension; choose another name";
    }
    return {};
}

} // namespace

std::string PathRuleBreach(const std::string& path)
{
    size_t start = 0;
    // The extended-length prefix is not a name; the device namespace is no file.
    if (StartsWith(path, "\\\\?\\") || StartsWith(path, "//?/")) {
        start = 4;
    } else if (StartsWith(path, "\\\\.\\") || StartsWith(path, "//./")) {
        return "it names a device, not a file";
    }
    if (path.size() >= start + 2 && std::isalpha(static_cast<unsigned char>(path[start])) && path[start + 1] == ':') {
        start += 2;
    }
    std::string name;
    for (size_t at = start; at <= path.size(); ++at) {
        if (at < path.size() && !IsSeparator(path[at])) {
            continue;
        }
        name = path.substr(start, at - start);
        start = at + 1;
        if (name.empty() || name == "." || name == "..") {
            continue;
        }
        std::string breach = NameBreach(name);
        if (!breach.empty()) {
            return breach;
        }
    }
    if (!name.empty() && name != "." && name != ".." && (name.back() == '.' || name.back() == ' ')) {
        return "the name ends in a dot or a space, which Windows would drop";
    }
    return {};
}

} // namespace vlscan
