#include "tests/chaos/Sandbox.h"

#include <algorithm>
#include <cstring>

namespace vlexif::chaos {

namespace {

std::string Environment(const char* name)
{
    char value[MAX_PATH] = {};
    GetEnvironmentVariableA(name, value, sizeof value);
    return value;
}

bool StartsWithSpoolName(const char* name)
{
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, name, 3, "~TF", 3) == CSTR_EQUAL;
}

// Names in a folder, with a trailing backslash on folders.
std::vector<std::string> Listing(const std::string& dir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if (std::strcmp(found.cFileName, ".") != 0 && std::strcmp(found.cFileName, "..") != 0) {
            names.push_back(std::string(found.cFileName) +
                            ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? "\\" : ""));
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadFileText(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "<missing>";
    }
    char buffer[256];
    DWORD read = 0;
    ReadFile(file, buffer, sizeof buffer, &read, nullptr);
    CloseHandle(file);
    return std::string(buffer, read);
}

void RemoveTree(const std::string& dir)
{
    for (const std::string& name : Listing(dir)) {
        if (name.back() == '\\') {
            RemoveTree(dir + name);
        } else {
            SetFileAttributesA((dir + name).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA((dir + name).c_str());
        }
    }
    RemoveDirectoryA(dir.c_str());
}

} // namespace

Sandbox::Sandbox() : oldTmp(Environment("TMP")), oldTemp(Environment("TEMP"))
{
    char dir[MAX_PATH] = {};
    GetTempPathA(sizeof dir, dir);
    base = std::string(dir) + "vlexif-chaos-" + std::to_string(GetCurrentProcessId()) + "\\";
    temp = base + "temp\\";
    RemoveTree(base);
    CreateDirectoryA(base.c_str(), nullptr);
    CreateDirectoryA(temp.c_str(), nullptr);
    CreateDirectoryA((base + "outside\\").c_str(), nullptr);
    CreateDirectoryA((base + "cwd\\").c_str(), nullptr);
    SetEnvironmentVariableA("TMP", temp.c_str());
    SetEnvironmentVariableA("TEMP", temp.c_str());
    char cwd[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof cwd, cwd);
    oldDirectory = cwd;
    // A relative "TempFile" would land here.
    SetCurrentDirectoryA((base + "cwd\\").c_str());

    // Spool-like names outside the temporary directory, and one file inside
    // it that is not a spool file.
    PlantCanary(base + "~TFcanary.tmp");
    PlantCanary(base + "outside\\~TF0001.tmp");
    PlantCanary(base + "cwd\\~TFcwd.tmp");
    PlantCanary(temp + "keep.txt");

    std::string upper = temp;
    CharUpperA(upper.data());
    std::string slashes = temp;
    std::replace(slashes.begin(), slashes.end(), '\\', '/');
    decoys = {
        base + "~TFcanary.tmp",
        temp + "..\\~TFcanary.tmp",
        temp + "~TF\\..\\..\\~TFcanary.tmp",
        base + "outside\\~TF0001.tmp",
        "~TFcwd.tmp",
        ".\\~TFcwd.tmp",
        temp + "keep.txt",
        temp,
        temp + "~TF*.tmp",
        temp + "~TFghost.tmp",
        upper + "~TFGHOST.TMP",
        slashes + "~TFghost.tmp",
        "\\\\?\\" + base + "~TFcanary.tmp",
        temp + "~TFx.tmp:stream",
        std::string(400, 'A'),
        "",
    };
}

Sandbox::~Sandbox()
{
    SetCurrentDirectoryA(oldDirectory.c_str());
    SetEnvironmentVariableA("TMP", oldTmp.empty() ? nullptr : oldTmp.c_str());
    SetEnvironmentVariableA("TEMP", oldTemp.empty() ? nullptr : oldTemp.c_str());
    RemoveTree(base);
}

void Sandbox::PlantCanary(const std::string& path)
{
    const std::string content = "canary " + path;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
    canaries.push_back({path, content});
}

std::vector<std::string> Sandbox::SpoolFiles() const
{
    std::vector<std::string> names;
    for (const std::string& name : Listing(temp)) {
        if (StartsWithSpoolName(name.c_str())) {
            names.push_back(name);
        }
    }
    return names;
}

void Sandbox::RemoveSpoolFiles() const
{
    for (const std::string& name : SpoolFiles()) {
        DeleteFileA((temp + name).c_str());
    }
}

void Sandbox::CheckSurroundings(std::vector<std::string>& problems) const
{
    for (const Canary& canary : canaries) {
        if (ReadFileText(canary.path) != canary.content) {
            problems.push_back("canary changed or gone: " + canary.path);
        }
    }
    const std::pair<std::string, std::vector<std::string>> folders[] = {
        {base, {"cwd\\", "outside\\", "temp\\", "~TFcanary.tmp"}},
        {base + "outside\\", {"~TF0001.tmp"}},
        {base + "cwd\\", {"~TFcwd.tmp"}},
    };
    for (const auto& [dir, expected] : folders) {
        const std::vector<std::string> names = Listing(dir);
        if (names != expected) {
            std::string shown;
            for (const std::string& name : names) {
                shown += " " + name;
            }
            problems.push_back("files outside the temporary directory changed in " + dir + ":" + shown);
        }
    }
    for (const std::string& name : Listing(temp)) {
        if (name != "keep.txt" && (!StartsWithSpoolName(name.c_str()) || name.back() == '\\')) {
            problems.push_back("unexpected entry in the temporary directory: " + name);
        }
    }
}

void CheckValueNames(const std::string& exifKeyPath, std::vector<std::string>& problems)
{
    static const char* const Known[] = {"Compress Rate", "Colour Mode", "File Type",     "ImageFormat",
                                        "TempFile",      "LoopCount",   "Palette Num",   "Palette",
                                        "Position X",    "Position Y",  "Owner Process", "Owner Started"};
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, exifKeyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return;
    }
    for (DWORD i = 0;; ++i) {
        char name[512];
        DWORD length = sizeof name;
        if (RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            break;
        }
        if (std::none_of(std::begin(Known), std::end(Known),
                         [&name](const char* k) { return std::strcmp(k, name) == 0; })) {
            problems.push_back(std::string("unknown registry value: ") + name);
        }
    }
    char subkeyName[512];
    DWORD length = sizeof subkeyName;
    if (RegEnumKeyExA(key, 0, subkeyName, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
        problems.push_back(std::string("unexpected registry subkey: ") + subkeyName);
    }
    RegCloseKey(key);
}

} // namespace vlexif::chaos
