# The Windows side: the plug-in as a static library (so tests can create its
# classes directly), the DLL around it, the resource library and the tests.
add_compile_options(-msse2 -mfpmath=sse)
# Everything links the C++ runtime and libgcc statically: the DLLs and test
# programs depend on system DLLs only.
add_link_options(-static -static-libgcc -static-libstdc++)

add_library(vlexif_plugin STATIC)
target_link_libraries(vlexif_plugin PUBLIC vlexif_kernels)

add_library(VLEXIF SHARED)
set_target_properties(VLEXIF PROPERTIES PREFIX "" OUTPUT_NAME VLEXIF
  RUNTIME_OUTPUT_DIRECTORY ${VLEXIF_DIST_DIR})
target_link_libraries(VLEXIF PRIVATE vlexif_plugin)

# GoogleTest from Debian's source package, built for the mingw target.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)
