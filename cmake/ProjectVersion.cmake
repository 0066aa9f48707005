# The project version reaches the programs as ProjectVersion.h and every
# shipped file as its version resource; nothing else states it.
set(VLEXIF_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/ProjectVersion.h.in ${VLEXIF_GENERATED_DIR}/ProjectVersion.h @ONLY)
include_directories(${VLEXIF_GENERATED_DIR})

# Gives a shipped DLL or program its version resource: the file and product
# version, what the file is, and its name as built, which is how Explorer's
# Details tab and installers tell one release from another.
function(vlexif_version_resource target description)
  get_target_property(type ${target} TYPE)
  get_target_property(internal_name ${target} OUTPUT_NAME)
  if(NOT internal_name)
    set(internal_name ${target})
  endif()
  if(type STREQUAL "EXECUTABLE")
    set(file_type VFT_APP)
    set(file_name ${internal_name}${CMAKE_EXECUTABLE_SUFFIX})
  else()
    set(file_type VFT_DLL)
    set(file_name ${internal_name}${CMAKE_SHARED_LIBRARY_SUFFIX})
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/resources/VersionInfo.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
