# The release package, vlexif-VERSION-win32.zip: the shipped files stripped,
# the notices of the code of others they hold, the install text and
# SHA256SUMS. Built with everything else; on its own:
#   cmake --build build --target release-zip
set(VLEXIF_PACKAGE_DIR ${CMAKE_BINARY_DIR} CACHE PATH "Folder the release package is written to")
set(package_work ${CMAKE_BINARY_DIR}/package)
set(package_zip ${VLEXIF_PACKAGE_DIR}/vlexif-${PROJECT_VERSION}-win32.zip)
set(shipped VLEXIF Vlexifres VkExf vlscan)

# Each shipped file's link map tells the notices whose code it holds.
set(notice_binaries "")
set(package_binaries "")
foreach(target IN LISTS shipped)
  set(map ${package_work}/${target}.map)
  target_link_options(${target} PRIVATE -Wl,-Map=${map})
  list(APPEND notice_binaries "$<TARGET_FILE_NAME:${target}>=${map}")
  list(APPEND package_binaries "$<TARGET_FILE:${target}>")
endforeach()
list(JOIN notice_binaries "|" notice_binaries)
list(JOIN package_binaries "|" package_binaries)

# stb is compiled into the host's own objects: those whose sources include it.
set(stb_objects "")
foreach(target vlscan_picture vlscan_readers vlscan)
  get_target_property(sources ${target} SOURCES)
  get_target_property(source_dir ${target} SOURCE_DIR)
  foreach(source IN LISTS sources)
    get_filename_component(path ${source} ABSOLUTE BASE_DIR ${source_dir})
    file(STRINGS ${path} stb_includes REGEX "#include [<\"]stb_")
    if(stb_includes)
      get_filename_component(name ${source} NAME)
      list(APPEND stb_objects ${name}.obj)
    endif()
  endforeach()
endforeach()
list(JOIN stb_objects "|" stb_objects)

# The licence texts, from the packages the code comes from: libjpeg-turbo's
# own from its Debian source package as built by scripts/setup.sh, the
# others from the copyright files of the Debian packages the build uses
# (libspng's and zlib's of the same versions as the sources built for the
# host).
set(jpeg_doc ${VLEXIF_JPEG_PREFIX}/share/doc/libjpeg-turbo)
set(notice_sources
  JPEG_LICENSE=${jpeg_doc}/LICENSE.md
  JPEG_README=${jpeg_doc}/README.ijg
  JPEG_COPYRIGHT=/usr/share/doc/libjpeg62-turbo/copyright
  SPNG_COPYRIGHT=/usr/share/doc/libspng0/copyright
  ZLIB_COPYRIGHT=/usr/share/doc/zlib1g/copyright
  GCC_COPYRIGHT=/usr/share/doc/gcc-mingw-w64-base/copyright
  MINGW_COPYRIGHT=/usr/share/doc/mingw-w64-common/copyright
  STB_COPYRIGHT=/usr/share/doc/libstb-dev/copyright)
set(notice_definitions "")
set(notice_files "")
foreach(source IN LISTS notice_sources)
  string(REGEX REPLACE "^[^=]*=" "" file ${source})
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "No ${file} for the third-party notices: run scripts/setup.sh")
  endif()
  list(APPEND notice_definitions -D${source})
  list(APPEND notice_files ${file})
endforeach()

set(notices ${package_work}/THIRD-PARTY-NOTICES.txt)
add_custom_command(OUTPUT ${notices}
  COMMAND ${CMAKE_COMMAND} -DOUTPUT=${notices} -DVERSION=${PROJECT_VERSION}
          -DBINARIES=${notice_binaries} -DSTB_OBJECTS=${stb_objects} ${notice_definitions}
          -P ${PROJECT_SOURCE_DIR}/cmake/WriteNotices.cmake
  DEPENDS ${shipped} ${notice_files} ${PROJECT_SOURCE_DIR}/cmake/WriteNotices.cmake
  COMMENT "Writing the third-party notices"
  VERBATIM)

set(install_text ${package_work}/INSTALL.txt)
configure_file(${PROJECT_SOURCE_DIR}/resources/INSTALL.txt.in ${install_text} @ONLY NEWLINE_STYLE CRLF)

add_custom_command(OUTPUT ${package_zip}
  COMMAND ${CMAKE_COMMAND} -DSTRIP=${CMAKE_STRIP} -DSTAGE=${package_work}/files -DZIP=${package_zip}
          -DBINARIES=${package_binaries} "-DTEXTS=${notices}|${install_text}"
          -P ${PROJECT_SOURCE_DIR}/cmake/MakePackage.cmake
  DEPENDS ${shipped} ${notices} ${install_text} ${PROJECT_SOURCE_DIR}/cmake/MakePackage.cmake
  COMMENT "Packing ${package_zip}"
  VERBATIM)
add_custom_target(release-zip ALL DEPENDS ${package_zip})

# The package unpacked into an empty folder: its content, the files' version
# resources against the project's version and vlscan --version, and a page
# scanned with the programs from that folder alone.
add_test(NAME release.package
  COMMAND ${PROJECT_SOURCE_DIR}/tests/release/check-package.sh ${package_zip} ${PROJECT_VERSION} ${package_work}/check
          ${package_work}/wineprefix ${VLEXIF_WINDOWS_MINIMUM})
set_tests_properties(release.package PROPERTIES TIMEOUT 300 LABELS "wine;slow")

# Code the notices cannot place stops the build instead of shipping unnoticed.
set(unknown_map ${package_work}/unknown-code.map)
file(WRITE ${unknown_map} "Archive member included to satisfy reference by file (symbol)\n\n"
  "/usr/lib/libelsewhere.a(code.o)\n                              own.obj (_Function)\n")
add_test(NAME release.notices_refuse_unknown_code
  COMMAND bash -c [[out=$("$@" 2>&1) && exit 1; grep -F 'libelsewhere.a(code.o): no notice is known' <<<"$out"]] -
          ${CMAKE_COMMAND} -DOUTPUT=${package_work}/unknown-notices.txt -DVERSION=${PROJECT_VERSION}
          -DBINARIES=x.dll=${unknown_map} ${notice_definitions}
          -P ${PROJECT_SOURCE_DIR}/cmake/WriteNotices.cmake)
set_tests_properties(release.notices_refuse_unknown_code PROPERTIES LABELS fast)
