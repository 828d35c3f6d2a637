# SPDX-License-Identifier: MIT
# Helpers shared by every folder: warnings, one static library per folder, tests and
# resources compiled into the program.

set(PLOVER_WARNINGS -Wall -Wextra -Werror -Wno-missing-field-initializers)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # GCC 12 reports overlapping copies inside libstdc++'s string concatenation at -O2 and
  # above where there are none (a known false positive of -Wrestrict).
  list(APPEND PLOVER_WARNINGS -Wno-restrict)
endif()

# plover_library(<folder> SOURCES ... DEPENDS ...)
# Makes the static library plover_<folder>; its headers are included as "<folder>/Name.h".
function(plover_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS;PRIVATE_DEPENDS" ${ARGN})
  if(NOT ARG_SOURCES)
    return()
  endif()
  add_library(plover_${name} STATIC ${ARG_SOURCES})
  target_include_directories(plover_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_compile_options(plover_${name} PRIVATE ${PLOVER_WARNINGS})
  target_link_libraries(plover_${name} PUBLIC ${ARG_DEPENDS} PRIVATE ${ARG_PRIVATE_DEPENDS})
endfunction()

# plover_test(<folder> SOURCES ... DEPENDS ...)
# One GoogleTest executable per folder, each test registered with CTest.
function(plover_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  if(NOT ARG_SOURCES)
    return()
  endif()
  add_executable(test_${name} ${ARG_SOURCES})
  target_compile_options(test_${name} PRIVATE ${PLOVER_WARNINGS})
  target_include_directories(test_${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  # Fixture folder of the test folder, as an absolute path: __FILE__ may be relative when
  # ccache rewrites paths, and tests run from the build tree.
  target_compile_definitions(test_${name} PRIVATE PLOVER_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data/")
  target_link_libraries(test_${name} PRIVATE ${ARG_DEPENDS} plover_testsupport GTest::gtest GTest::gmock GTest::gtest_main)
  gtest_discover_tests(test_${name}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${name} TIMEOUT 120)
endfunction()

# plover_embed(<target> FILES ...)
# Compiles files into a generated source: each file becomes a byte array that the
# program can write out at start-up. The generated source lists them by file name.
function(plover_embed target)
  cmake_parse_arguments(ARG "" "" "FILES" ${ARGN})
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_embedded.cpp)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${out} "-DFILES=${ARG_FILES}"
            -P ${PROJECT_SOURCE_DIR}/cmake/Embed.cmake
    DEPENDS ${ARG_FILES} ${PROJECT_SOURCE_DIR}/cmake/Embed.cmake
    COMMENT "Embedding resources for ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
endfunction()

# plover_fuzz(<name> SOURCES ... DEPENDS ...)
# A libFuzzer target fuzz_<name>. Its seed corpus is tests/fuzz/corpus/<name>/; the smoke
# test that CI runs feeds it the corpus and a short burst of generated inputs.
function(plover_fuzz name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(fuzz_${name} ${ARG_SOURCES})
  target_compile_options(fuzz_${name} PRIVATE ${PLOVER_WARNINGS})
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(fuzz_${name} PRIVATE ${ARG_DEPENDS})
endfunction()
