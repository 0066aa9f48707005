# Writes the third-party notices of a release: which shipped file holds whose
# code, read from each file's link map, and then each of those components'
# licence terms, taken from the copyright files of the packages the build
# takes the code from. An archive or object it cannot place stops the build,
# so that no code ships without its notice.
#
#   cmake -DOUTPUT=FILE -DVERSION=X.Y.Z -DBINARIES=NAME=MAP|NAME=MAP...
#         -DSTB_OBJECTS=OBJ|OBJ... -DJPEG_LICENSE=... -DJPEG_README=... -DJPEG_COPYRIGHT=...
#         -DGCC_COPYRIGHT=... -DMINGW_COPYRIGHT=... -DSTB_COPYRIGHT=... -P WriteNotices.cmake

cmake_minimum_required(VERSION 3.20)

# System DLLs' import libraries: they carry no code, only the references.
set(import_libraries advapi32 comctl32 comdlg32 gdi32 kernel32 ntdll ole32 oleaut32 psapi shell32 user32
  version winspool)

# The component whose code a linked archive or object brings in; "" for the
# project's own code and for import libraries.
function(classify path out)
  get_filename_component(name "${path}" NAME)
  # An archive member is named archive(member).
  set(archive "${name}")
  set(member "")
  if(name MATCHES "^(.*)\\(([^)]*)\\)$")
    set(archive "${CMAKE_MATCH_1}")
    set(member "${CMAKE_MATCH_2}")
  endif()
  string(REGEX REPLACE "^lib(.*)\\.a$" "\\1" library "${archive}")
  if(archive STREQUAL "libjpeg.a")
    set(component libjpeg-turbo)
  elseif(archive MATCHES "^lib(stdc|supc)\\+\\+\\.a$")
    set(component libstdc++)
  elseif(archive MATCHES "^libgcc(_eh)?\\.a$" OR archive MATCHES "^crt(begin|end)\\.o$")
    set(component libgcc)
  elseif(archive MATCHES "^lib(mingw32|mingwex|msvcrt|moldname|uuid)\\.a$" OR archive MATCHES "^(dll)?crt2\\.o$")
    set(component mingw-w64)
  elseif(archive MATCHES "^lib(win)?pthread\\.a$")
    set(component winpthreads)
  elseif(library IN_LIST import_libraries)
    set(component "")
  elseif(NOT IS_ABSOLUTE "${path}")
    # The project's own archives and objects, named from its build folder.
    if(member IN_LIST stb_objects OR name IN_LIST stb_objects)
      set(component stb)
    else()
      set(component "")
    endif()
  else()
    message(FATAL_ERROR "${path}: no notice is known for this code; name its component in ${CMAKE_CURRENT_LIST_FILE}")
  endif()
  set(${out} "${component}" PARENT_SCOPE)
endfunction()

# The components one link map shows linked in, in the notices' order.
function(components_of map out)
  if(NOT EXISTS "${map}")
    message(FATAL_ERROR "no link map ${map}")
  endif()
  # Archive members pulled in, and the startup objects loaded whole.
  file(STRINGS "${map}" lines REGEX "^[^ ]+\\.a\\([^)]*\\)$|^LOAD [^ ]+\\.o(bj)?$")
  set(found "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^LOAD " "" path "${line}")
    classify("${path}" component)
    if(component)
      list(APPEND found ${component})
    endif()
  endforeach()
  set(ordered "")
  foreach(component IN LISTS all_components)
    if(component IN_LIST found)
      list(APPEND ordered ${component})
    endif()
  endforeach()
  set(${out} "${ordered}" PARENT_SCOPE)
endfunction()

# The text of FILE from the first FIRST on up to the next LAST (or the end,
# with AT_END).
function(read_between file first last out)
  file(READ "${file}" text)
  string(FIND "${text}" "${first}" begin)
  if(begin EQUAL -1)
    message(FATAL_ERROR "${file} no longer holds '${first}'")
  endif()
  string(SUBSTRING "${text}" ${begin} -1 text)
  string(FIND "${text}" "${last}" end)
  if(end EQUAL -1 AND NOT ARGV4 STREQUAL "AT_END")
    message(FATAL_ERROR "${file} no longer holds '${last}' after '${first}'")
  endif()
  string(SUBSTRING "${text}" 0 ${end} text)
  string(STRIP "${text}" text)
  set(${out} "${text}\n" PARENT_SCOPE)
endfunction()

# A stand-alone licence paragraph of a Debian copyright file, as plain text.
function(read_debian_licence file name out)
  read_between("${file}" "License: ${name}\n " "\n\n" text AT_END)
  # Body lines are indented by one space; a lone dot stands for an empty line.
  # (CMake's ^ would match wherever a replacement left off, so none is used.)
  string(FIND "${text}" "\n" body)
  string(SUBSTRING "${text}" ${body} -1 text)
  string(REGEX REPLACE "\n \\.[ ]*\n" "\n\n" text "${text}")
  string(REPLACE "\n " "\n" text "${text}")
  string(STRIP "${text}" text)
  set(${out} "${text}\n" PARENT_SCOPE)
endfunction()

# Components as the table names them, and the section of terms each one's
# code comes under.
set(all_components libjpeg-turbo stb libstdc++ libgcc mingw-w64 winpthreads)
set(title_libjpeg-turbo "libjpeg-turbo")
set(title_stb "stb")
set(title_libstdc++ "libstdc++ (GCC)")
set(title_libgcc "libgcc (GCC)")
set(title_mingw-w64 "mingw-w64 runtime")
set(title_winpthreads "winpthreads (mingw-w64)")
set(section_libjpeg-turbo libjpeg-turbo)
set(section_stb stb)
set(section_libstdc++ gcc)
set(section_libgcc gcc)
set(section_mingw-w64 mingw-w64)
set(section_winpthreads mingw-w64)
set(all_sections libjpeg-turbo stb gcc mingw-w64)
set(title_section_libjpeg-turbo "libjpeg-turbo")
set(title_section_stb "stb")
set(title_section_gcc "GCC runtime libraries: libgcc, libstdc++")
set(title_section_mingw-w64 "mingw-w64: the C runtime and winpthreads")

string(REPLACE "|" ";" binaries "${BINARIES}")
string(REPLACE "|" ";" stb_objects "${STB_OBJECTS}")

set(table "")
set(used "")
foreach(entry IN LISTS binaries)
  string(FIND "${entry}" "=" equals)
  string(SUBSTRING "${entry}" 0 ${equals} binary)
  math(EXPR equals "${equals} + 1")
  string(SUBSTRING "${entry}" ${equals} -1 map)
  components_of("${map}" components)
  set(titles "")
  foreach(component IN LISTS components)
    list(APPEND titles "${title_${component}}")
  endforeach()
  if(titles)
    list(JOIN titles "; " contents)
  else()
    set(contents "no code of others")
  endif()
  string(LENGTH "${binary}" length)
  math(EXPR pad "16 - ${length}")
  string(REPEAT " " ${pad} spaces)
  string(APPEND table "  ${binary}${spaces}${contents}\n")
  foreach(component IN LISTS components)
    list(APPEND used ${section_${component}})
  endforeach()
endforeach()

set(notices "Third-party notices for VLEXIF ${VERSION}\n\n")
string(APPEND notices "The files of this release hold code of others, linked in statically:\n\n${table}\n")
string(APPEND notices "Each component's licence terms follow, as the copyright files of the packages\n")
string(APPEND notices "the release was built from state them.\n")

foreach(section IN LISTS all_sections)
  if(NOT section IN_LIST used)
    continue()
  endif()
  set(title "${title_section_${section}}")
  string(LENGTH "${title}" length)
  string(REPEAT "=" ${length} rule)
  string(APPEND notices "\n\n${title}\n${rule}\n\n")
  if(section STREQUAL "libjpeg-turbo")
    read_between("${JPEG_README}" "LEGAL ISSUES\n" "\nREFERENCES\n" ijg)
    read_debian_licence("${JPEG_COPYRIGHT}" Zlib zlib)
    file(READ "${JPEG_LICENSE}" licenses)
    string(APPEND notices "This software is based in part on the work of the Independent JPEG Group.\n\n"
      "${licenses}\n\nThe IJG License (README.ijg)\n---------------------------\n\n${ijg}\n"
      "The zlib License (the SIMD extensions)\n--------------------------------------\n\n${zlib}")
  elseif(section STREQUAL "stb")
    file(READ "${STB_COPYRIGHT}" text)
    string(APPEND notices "${text}")
  elseif(section STREQUAL "gcc")
    read_between("${GCC_COPYRIGHT}" "GCC is Copyright (C)" "The libbacktrace library" terms)
    read_between("${GCC_COPYRIGHT}" "GCC RUNTIME LIBRARY EXCEPTION" "\nlibquadmath/" exception)
    string(APPEND notices "${terms}\n${exception}")
  else()
    file(READ "${MINGW_COPYRIGHT}" text)
    string(APPEND notices "${text}")
  endif()
endforeach()

# Read on Windows: CRLF line ends.
string(REPLACE "\n" "\r\n" notices "${notices}")
file(WRITE "${OUTPUT}" "${notices}")
