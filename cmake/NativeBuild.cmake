# The native side: kernels under AddressSanitizer and UndefinedBehaviorSanitizer
# for the unit tests, and the cross build of the Windows DLLs as a sub-build.
option(VLEXIF_SANITIZE "Build native tests with ASan and UBSan" ON)
if(VLEXIF_SANITIZE)
  add_compile_options(${VLEXIF_SANITIZER_FLAGS})
  add_link_options(${VLEXIF_SANITIZER_FLAGS})
endif()

find_package(GTest REQUIRED)
include(GoogleTest)

include(ExternalProject)
set(VLEXIF_WIN32_BUILD_DIR ${CMAKE_BINARY_DIR}/win32)
ExternalProject_Add(win32
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${VLEXIF_WIN32_BUILD_DIR}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686.cmake
             -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
             -DCMAKE_EXPORT_COMPILE_COMMANDS=ON
             -DVLEXIF_PACKAGE_DIR=${CMAKE_BINARY_DIR}
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  USES_TERMINAL_BUILD ON)

# The release package, made by the Windows build (cmake/Package.cmake).
add_custom_target(release-zip
  COMMAND ${CMAKE_COMMAND} --build ${VLEXIF_WIN32_BUILD_DIR} --target release-zip
  DEPENDS win32
  USES_TERMINAL)

# Pull the Windows build's tests into this tree's ctest.
file(WRITE ${CMAKE_BINARY_DIR}/win32-tests.cmake "subdirs(\"${VLEXIF_WIN32_BUILD_DIR}\")\n")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/win32-tests.cmake)
include(${CMAKE_SOURCE_DIR}/fuzz/NativeSide.cmake)
