# Each product folder is a layer with one target of its own, and a target sees
# the headers of the layers it links and of no others. Its folder is reached
# through an include root in the build tree that holds nothing but a link to
# that folder, so an include that runs up a layer fails to compile.
#
#   vlexif_layer(TARGET FOLDER [EXCEPTIONS])
#
# Code in the DLLs throws nothing and links no exception runtime; only the
# reference host's layers, which say EXCEPTIONS, may throw.
function(vlexif_layer target folder)
  cmake_parse_arguments(PARSE_ARGV 2 layer "EXCEPTIONS" "" "")
  set(root ${CMAKE_BINARY_DIR}/layers/${target})
  get_filename_component(parent ${root}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  if(NOT EXISTS ${root}/${folder})
    file(CREATE_LINK ${VLEXIF_ROOT}/${folder} ${root}/${folder} SYMBOLIC)
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL INTERFACE_LIBRARY)
    target_include_directories(${target} INTERFACE ${root})
    return()
  endif()
  target_include_directories(${target} PUBLIC ${root})
  if(NOT layer_EXCEPTIONS)
    target_compile_options(${target} PRIVATE -fno-exceptions)
  endif()
endfunction()
