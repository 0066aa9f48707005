// A new file that takes a destination's place only once it is complete: it
// is written under a temporary name in the destination's folder and moved
// over the destination by Commit. Until then, and on any failure, the
// destination is untouched and the temporary file is removed.
#pragma once

#include "converter/FileHandle.h"

#include <string>

namespace vkexf {

class ReplacingFile {
public:
    // Creates the temporary file; throws ConverterError.
    explicit ReplacingFile(const std::string& destination);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    HANDLE handle() const { return file_.get(); }

    // Closes the file and moves it over the destination; throws ConverterError.
    void Commit();

private:
    std::string destination_;
    std::string temporary_;
    FileHandle file_;
    bool committed_ = false;
};

} // namespace vkexf
