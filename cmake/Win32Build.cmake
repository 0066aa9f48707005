# The Windows side: compile and link options, the runtime the DLLs link, and
# GoogleTest for the mingw target.
add_compile_options(-msse2 -mfpmath=sse)
# Everything links the C++ runtime and libgcc statically: the DLLs and test
# programs depend on system DLLs only.
add_link_options(-static -static-libgcc -static-libstdc++)

# The oldest Windows every file built here runs on: Vista. The plug-in
# renames and marks files for deletion through their handles
# (SetFileInformationByHandle), the converter's workers wait on slim locks
# and condition variables, the host reads typed values (RegGetValueA). The
# headers declare nothing newer, so that a newer call fails to compile, and
# the PE headers tell the loader, which then refuses the file on an older
# system by name instead of failing on a missing import.
set(VLEXIF_WINDOWS_MINIMUM 6.0)
add_compile_definitions(_WIN32_WINNT=0x0600 WINVER=0x0600 NTDDI_VERSION=0x06000000)
add_link_options(-Wl,--major-os-version,6,--minor-os-version,0,--major-subsystem-version,6,--minor-subsystem-version,0)

# The shipped DLLs link the win32-thread runtime. The posix one, which the
# tests need for GoogleTest, takes a TLS slot at every load and never gives it
# back: a host that unloads the plug-in between calls would run out of them.
execute_process(COMMAND i686-w64-mingw32-gcc-win32 -print-libgcc-file-name
  OUTPUT_VARIABLE win32_libgcc OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(VLEXIF_WIN32_RUNTIME_DIR ${win32_libgcc} DIRECTORY)
# Both DLLs also take the allocation functions that never throw, so that
# nothing of libstdc++'s exception runtime is linked in.
add_library(vlexif_runtime OBJECT ${CMAKE_SOURCE_DIR}/runtime/NoThrowNew.cpp)
target_compile_options(vlexif_runtime PRIVATE -fno-exceptions)
function(vlexif_link_win32_runtime target)
  target_link_options(${target} PRIVATE -L${VLEXIF_WIN32_RUNTIME_DIR})
  target_link_libraries(${target} PRIVATE vlexif_runtime)
endfunction()

# GoogleTest from Debian's source package, built for the mingw target.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

# clang-tidy with the project's .clang-tidy over the Windows-side sources, read
# as the cross compiler reads them: its libstdc++ first, then clang's own
# headers, then the mingw headers. Reports, never fails the build:
#   cmake --build build/win32 --target tidy
find_program(CLANG_TIDY clang-tidy)
if(CLANG_TIDY)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=include/c++
    OUTPUT_VARIABLE mingw_cxx_headers OUTPUT_STRIP_TRAILING_WHITESPACE)
  file(GLOB_RECURSE tidy_sources CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/entry/*.cpp ${CMAKE_SOURCE_DIR}/win32/*.cpp ${CMAKE_SOURCE_DIR}/settings/*.cpp
    ${CMAKE_SOURCE_DIR}/spool/*.cpp ${CMAKE_SOURCE_DIR}/scanjob/*.cpp ${CMAKE_SOURCE_DIR}/dialogs/*.cpp
    ${CMAKE_SOURCE_DIR}/converter/*.cpp)
  add_custom_target(tidy
    COMMAND ${CLANG_TIDY} -p ${CMAKE_BINARY_DIR} --quiet
            --extra-arg=--target=i686-w64-mingw32 --extra-arg=-nostdinc++ --extra-arg=-nostdlibinc
            --extra-arg=-isystem${mingw_cxx_headers}
            --extra-arg=-isystem${mingw_cxx_headers}/i686-w64-mingw32
            --extra-arg=-idirafter/usr/i686-w64-mingw32/include
            ${tidy_sources} || true
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    VERBATIM)
endif()
