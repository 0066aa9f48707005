# Included by the native build: builds fuzz/ with clang as a sub-build and
# runs each fuzz target briefly, and the platform-free unit tests under
# Valgrind, as part of ctest. scripts/fuzz-long.sh runs the targets longer.
include(ExternalProject)
set(VLEXIF_FUZZ_BUILD_DIR ${CMAKE_BINARY_DIR}/fuzz)
ExternalProject_Add(fuzz
  SOURCE_DIR ${CMAKE_SOURCE_DIR}/fuzz
  BINARY_DIR ${VLEXIF_FUZZ_BUILD_DIR}
  CMAKE_ARGS -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  USES_TERMINAL_BUILD ON)

# A smoke run: the seeds, the regression inputs and the corpus the earlier
# runs grew, under the sanitizers, then 3 s of new inputs. A fault in the
# replayed inputs fails as surely as in a long run; finding new ones is what
# scripts/fuzz-long.sh's ten minutes a target are for, where 12 s against
# 3 s here would add little.
include(${CMAKE_SOURCE_DIR}/fuzz/targets.cmake)
foreach(target ${VLEXIF_FUZZ_TARGETS})
  add_test(NAME fuzz.${target}
    COMMAND ${CMAKE_SOURCE_DIR}/fuzz/run.sh ${VLEXIF_FUZZ_BUILD_DIR}/fuzz_${target} 3 ${VLEXIF_FUZZ_BUILD_DIR}/runs)
  set_tests_properties(fuzz.${target} PROPERTIES TIMEOUT 120 LABELS slow)
endforeach()

foreach(tests tests/kernel_tests tests/vkexf_core_tests)
  get_filename_component(name ${tests} NAME)
  add_test(NAME memcheck.${name}
    COMMAND valgrind --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite,indirect --quiet
            ${VLEXIF_FUZZ_BUILD_DIR}/${tests})
  set_tests_properties(memcheck.${name} PROPERTIES TIMEOUT 300 LABELS slow)
endforeach()
