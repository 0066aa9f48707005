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
  set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY VLEXIF_LAYER_TARGETS ${target})
  get_target_property(type ${target} TYPE)
  if(type STREQUAL INTERFACE_LIBRARY)
    target_include_directories(${target} INTERFACE ${root})
    return()
  endif()
  target_include_directories(${target} PUBLIC ${root})
  if(NOT layer_EXCEPTIONS)
    target_compile_options(${target} PRIVATE -fno-exceptions)
    if(NOT folder STREQUAL "pixels")
      vlexif_refuse_raw_calls(${target})
    endif()
  endif()
endfunction()

# The DLLs' own code reaches files, searches, free space, memory and the
# loader only through the system-call table (win32/SystemCalls.h): every
# source of `target` is compiled after win32/RawCallsRefused.h, which declares
# the table and then poisons the calls it holds, so that a call past the table
# fails to compile, as an upward include does.
# The platform-free layers and the reference host's are not DLL code.
#
#   vlexif_refuse_raw_calls(TARGET)
function(vlexif_refuse_raw_calls target)
  if(CMAKE_CROSSCOMPILING)
    target_compile_options(${target} PRIVATE "SHELL:-include ${VLEXIF_ROOT}/win32/RawCallsRefused.h")
  endif()
endfunction()

# Fails the configuration when a layer or program whose name matches
# `pattern` links, at any depth, one of the libraries named after it: the
# reference host checks the plug-in and must not share its code.
#
#   vlexif_refuse_reach(PATTERN LIBRARY...)
function(vlexif_refuse_reach pattern)
  get_property(targets DIRECTORY ${CMAKE_SOURCE_DIR} PROPERTY VLEXIF_LAYER_TARGETS)
  foreach(program vlscan vlchart)
    if(TARGET ${program})
      list(APPEND targets ${program})
    endif()
  endforeach()
  foreach(target ${targets})
    if(NOT target MATCHES "${pattern}")
      continue()
    endif()
    set(pending ${target})
    set(seen)
    while(pending)
      list(POP_FRONT pending current)
      if(current IN_LIST seen OR NOT TARGET ${current})
        continue()
      endif()
      list(APPEND seen ${current})
      if(current IN_LIST ARGN)
        message(FATAL_ERROR "${target} reaches ${current}: the reference host must not link the plug-in's code")
      endif()
      get_target_property(links ${current} INTERFACE_LINK_LIBRARIES)
      if(links)
        list(APPEND pending ${links})
      endif()
      get_target_property(type ${current} TYPE)
      if(NOT type STREQUAL INTERFACE_LIBRARY)
        get_target_property(links ${current} LINK_LIBRARIES)
        if(links)
          list(APPEND pending ${links})
        endif()
      endif()
    endwhile()
  endforeach()
endfunction()
