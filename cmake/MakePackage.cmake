# Packs the release: the shipped files stripped of their symbols and debug
# information, the texts, and SHA256SUMS over all of them, zipped without a
# folder so that they unpack side by side.
#   cmake -DSTRIP=TOOL -DSTAGE=DIR -DZIP=FILE -DBINARIES=FILE|... -DTEXTS=FILE|... -P MakePackage.cmake
cmake_minimum_required(VERSION 3.20)

string(REPLACE "|" ";" binaries "${BINARIES}")
string(REPLACE "|" ";" texts "${TEXTS}")
file(REMOVE_RECURSE "${STAGE}")
file(MAKE_DIRECTORY "${STAGE}")

set(names "")
foreach(binary IN LISTS binaries)
  get_filename_component(name "${binary}" NAME)
  execute_process(COMMAND "${STRIP}" --strip-all -o "${STAGE}/${name}" "${binary}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot strip ${binary}")
  endif()
  list(APPEND names "${name}")
endforeach()
foreach(text IN LISTS texts)
  file(COPY "${text}" DESTINATION "${STAGE}")
  get_filename_component(name "${text}" NAME)
  list(APPEND names "${name}")
endforeach()

list(SORT names)
set(sums "")
foreach(name IN LISTS names)
  file(SHA256 "${STAGE}/${name}" sum)
  string(APPEND sums "${sum}  ${name}\n")
endforeach()
file(WRITE "${STAGE}/SHA256SUMS" "${sums}")

file(REMOVE "${ZIP}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${ZIP}" --format=zip -- ${names} SHA256SUMS
  WORKING_DIRECTORY "${STAGE}" RESULT_VARIABLE failed)
if(failed)
  file(REMOVE "${ZIP}")
  message(FATAL_ERROR "cannot write ${ZIP}")
endif()
