# The compiler settings every build of the tree shares: the project's own
# (g++ natively, mingw-w64 for Windows) and the fuzz sub-build's (clang).
# Included right after project(); each side adds its own options after it.
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)
if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE RelWithDebInfo)
endif()
add_compile_options(-Wall -Wextra)

# AddressSanitizer and UndefinedBehaviorSanitizer as the native unit tests and
# the fuzz targets run under them: the first fault stops the program.
set(VLEXIF_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
