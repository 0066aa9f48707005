// libjpeg's errors for a DLL that must not exit its host nor print: a fatal
// error jumps back to the step that called into libjpeg, which set the
// target itself with only libjpeg's C frames in between; warnings and
// messages go nowhere.
#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace vkexf {

struct JpegErrors : jpeg_error_mgr {
    std::jmp_buf jump;

    // Fills in libjpeg's defaults with the two changes, for `cinfo->err`.
    jpeg_error_mgr* Install()
    {
        jpeg_error_mgr* const manager = jpeg_std_error(this);
        error_exit = [](j_common_ptr cinfo) { std::longjmp(static_cast<JpegErrors*>(cinfo->err)->jump, 1); };
        output_message = [](j_common_ptr) {};
        return manager;
    }
};

} // namespace vkexf
