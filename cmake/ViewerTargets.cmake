# Shared target conventions: every folder is one library whose sources are the
# files in it, so adding a file needs no edit of a CMakeLists.txt.

# Warnings are errors where the project builds (scripts/build, CI); anyone else
# building the tree, with whatever compiler, gets them as warnings.
option(VIEWER_WERROR "Treat compiler warnings as errors" OFF)
set(VIEWER_WARNINGS -Wall -Wextra -Wno-unused-parameter)
if(VIEWER_WERROR)
  list(APPEND VIEWER_WARNINGS -Werror)
endif()

if(VIEWER_SANITIZE STREQUAL "address")
  # This configuration builds the libFuzzer targets and the libraries they test:
  # optimised as fuzzing services build them, since at -O0 they find little.
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer
                      $<$<CONFIG:Debug>:-O1>)
  add_link_options(-fsanitize=address,undefined)
  # Every library a fuzz target links feeds libFuzzer its coverage and comparisons;
  # without it the fuzzer sees only the target's own file and mutates blind.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    # No dependency list names the ignorelist, so the compilers see it under a name
    # made from its contents: a changed list changes every command line, and the
    # build and the compiler cache compile everything again.
    set(ignorelist ${CMAKE_SOURCE_DIR}/fuzz/coverage-ignorelist.txt)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ignorelist})
    file(MD5 ${ignorelist} ignorelistHash)
    configure_file(${ignorelist} ${CMAKE_BINARY_DIR}/coverage-ignorelist-${ignorelistHash}.txt COPYONLY)
    add_compile_options(-fsanitize=fuzzer-no-link
                        -fsanitize-coverage-ignorelist=${CMAKE_BINARY_DIR}/coverage-ignorelist-${ignorelistHash}.txt)
  endif()
elseif(VIEWER_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT VIEWER_SANITIZE STREQUAL "")
  message(FATAL_ERROR "Unknown VIEWER_SANITIZE value '${VIEWER_SANITIZE}'")
endif()

set(VIEWER_CAN_FUZZ OFF)
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  set(VIEWER_CAN_FUZZ ON)
endif()

function(viewer_warnings target)
  target_compile_options(${target} PRIVATE ${VIEWER_WARNINGS})
endfunction()

# viewer_library(<name> [DEPS <targets>...]) builds the sources of the current
# folder into library <name>; a folder with no sources yet is an interface target.
function(viewer_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/*.ui
    ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  list(FILTER sources EXCLUDE REGEX "\\.ui$|\\.qrc$")
  if(sources)
    file(GLOB forms CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.ui ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
    add_library(${name} STATIC ${sources} ${headers} ${forms})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    viewer_warnings(${name})
  else()
    add_library(${name} INTERFACE ${headers})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR})
  endif()
endfunction()

# viewer_test(<name> [DEPS <targets>...] [LABELS <labels>...]) builds the test
# sources of the current folder into one GoogleTest program and registers each
# case with CTest. Every case runs with the offscreen platform, inside the test
# command's private network namespace; the test main tells it where the build
# put the programs' side files (VIEWER_BIN_DIR) and where the sources are.
function(viewer_test name)
  cmake_parse_arguments(ARG "" "" "DEPS;LABELS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE test_support ${ARG_DEPS})
  viewer_warnings(${name})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  set(labels ${ARG_LABELS})
  list(APPEND labels unit)
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 120
    DISCOVERY_MODE PRE_TEST
    PROPERTIES
      LABELS "${labels}"
      TIMEOUT 300)
endfunction()

# viewer_fuzz(<name> SOURCE <file> CORPUS <dir> [DEPS <targets>...]) builds a
# libFuzzer target under clang; under any compiler the same entry point is also
# built with a replay main so that CTest runs the seed corpus in every build.
function(viewer_fuzz name)
  cmake_parse_arguments(ARG "" "SOURCE;CORPUS" "DEPS" ${ARGN})
  add_executable(${name}_replay ${ARG_SOURCE} ${CMAKE_SOURCE_DIR}/fuzz/replay_main.cpp)
  target_link_libraries(${name}_replay PRIVATE ${ARG_DEPS})
  viewer_warnings(${name}_replay)
  set_target_properties(${name}_replay PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  add_test(NAME fuzz_seeds.${name} COMMAND ${name}_replay ${ARG_CORPUS})
  set_tests_properties(fuzz_seeds.${name} PROPERTIES LABELS "fuzz;unit" ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  if(VIEWER_CAN_FUZZ)
    add_executable(${name} ${ARG_SOURCE})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer ${VIEWER_WARNINGS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
    file(WRITE ${CMAKE_BINARY_DIR}/fuzz/${name}.corpus "${ARG_CORPUS}")
  endif()
endfunction()

# viewer_benchmark(<name> SOURCES <files> [DEPS <targets>...])
function(viewer_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE benchmark::benchmark ${ARG_DEPS})
  viewer_warnings(${name})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()
