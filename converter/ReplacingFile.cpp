#include "converter/ReplacingFile.h"

#include "converter/ConverterStatus.h"

namespace vkexf {

namespace {

// The folder part of a path, for GetTempFileNameA; "." for a bare name.
std::string FolderOf(const std::string& path)
{
    const size_t end = path.find_last_of("\\/:");
    if (end == std::string::npos)
        return ".";
    // Keep the separator for a root ("C:\", "\") and a drive's current folder ("C:").
    if (end == 0 || path[end] == ':' || path[end - 1] == ':')
        return path.substr(0, end + 1);
    return path.substr(0, end);
}

} // namespace

ReplacingFile::ReplacingFile(const std::string& destination) : destination_(destination)
{
    char temporary[MAX_PATH];
    // Creates an empty file under a name unique in that folder.
    if (!GetTempFileNameA(FolderOf(destination).c_str(), "vkx", 0, temporary))
        throw ConverterError(StatusCreateFailed);
    temporary_ = temporary;
    file_ = FileHandle(CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_.valid()) {
        DeleteFileA(temporary);
        throw ConverterError(StatusCreateFailed);
    }
}

ReplacingFile::~ReplacingFile()
{
    if (!committed_) {
        file_.Close();
        DeleteFileA(temporary_.c_str());
    }
}

void ReplacingFile::Commit()
{
    if (!file_.Close())
        throw ConverterError(StatusWriteFailed);
    if (!MoveFileExA(temporary_.c_str(), destination_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw ConverterError(StatusReplaceFailed);
    committed_ = true;
}

} // namespace vkexf
