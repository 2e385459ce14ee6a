# Shared build settings: warnings for our own code and the sanitizer option.

set(THREADWICK_WARNINGS -Wall -Wextra)

# CI builds with warnings as errors, in the test build and in the Release
# build alike: the Release build inlines more and warns where the other does not.
option(THREADWICK_WERROR "Treat warnings in our own code as errors" OFF)
if(THREADWICK_WERROR)
  list(APPEND THREADWICK_WARNINGS -Werror)
endif()

if(THREADWICK_SANITIZE OR THREADWICK_FUZZ)
  set(_tw_san -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  if(THREADWICK_FUZZ)
    list(APPEND _tw_san -fsanitize=fuzzer-no-link)
  endif()
  add_compile_options(${_tw_san})
  add_link_options(-fsanitize=address,undefined)
endif()

# threadwick_module(name folder [DEPS ...]): one static library per module,
# made of every .cpp in the folder; the repository root is the include root.
function(threadwick_module name)
  cmake_parse_arguments(ARG "" "" "DEPS;LIBS" ${ARGN})
  file(GLOB _srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT _srcs)
    # A subsystem that has no code yet is an empty interface.
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(${name} STATIC ${_srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${THREADWICK_WARNINGS})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_LIBS})
endfunction()

# threadwick_program_part(): adds every .cpp of the calling folder to the
# program library tw_program.
function(threadwick_program_part)
  file(GLOB _srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  target_sources(tw_program PRIVATE ${_srcs})
endfunction()

# The outside files the readers' tests check against. A clone of the project
# without them builds all the same; the tests that need them skip.
set(THREADWICK_TESTDATA "${PROJECT_SOURCE_DIR}/../shared/testdata" CACHE PATH
  "Folder of the outside test files (pictures, metafiles, compound files, fonts)")

# threadwick_tests(name [DEPS ...] [LABELS ...]): one GoogleTest program made of
# every .cpp in the folder, each test registered with CTest.
function(threadwick_tests name)
  cmake_parse_arguments(ARG "" "" "DEPS;LABELS" ${ARGN})
  file(GLOB _srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT _srcs)
    return()
  endif()
  add_executable(${name} ${_srcs})
  # The code under test is optimised as the program is; the tests' own code,
  # most of what the suite compiles, builds in two thirds of the time at -O1.
  target_compile_options(${name} PRIVATE ${THREADWICK_WARNINGS} $<$<CONFIG:Release,RelWithDebInfo>:-O1>)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} tw_testmain GTest::gtest GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    THREADWICK_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    THREADWICK_TESTDATA_DIR="${THREADWICK_TESTDATA}"
    THREADWICK_BINARY_DIR="${PROJECT_BINARY_DIR}")
  # A test that hangs fails in two minutes rather than holding the run.
  set(_props PROPERTIES TIMEOUT 120)
  if(ARG_LABELS)
    list(APPEND _props LABELS "${ARG_LABELS}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 ${_props})
endfunction()
