# vesselsim_precompile(TARGET HEADERS...): HEADERS precompiled once for all of TARGET's sources,
# which then include them first. In the sanitized GCC build only, the one `make test` builds from
# scratch: at -O3 GCC 12 reports a false buffer overflow in one of the program's files when the
# standard headers come first that way.
function(vesselsim_precompile target)
  if(NOT VESSELSIM_SANITIZE OR NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    return()
  endif()
  target_precompile_headers(${target} PRIVATE ${ARGN})
  # ccache caches objects built with a precompiled header only when told to overlook what it
  # cannot see through one (macros defined before it, __DATE__ and __TIME__).
  if(VESSELSIM_CCACHE AND CMAKE_CXX_COMPILER_LAUNCHER STREQUAL VESSELSIM_CCACHE)
    set_target_properties(${target} PROPERTIES CXX_COMPILER_LAUNCHER
      "env;CCACHE_SLOPPINESS=pch_defines,time_macros;${VESSELSIM_CCACHE}")
  endif()
endfunction()

# The standard headers most of the project's sources include. Parsing them is about half the
# compile time of a source file of the stand-in in the sanitized build.
set(VESSELSIM_STD_HEADERS <algorithm> <cmath> <cstdio> <cstring> <functional> <map> <memory>
  <numbers> <sstream> <string> <vector>)

# vesselsim_test_program(TARGET [FEW_FILES]): the compile set-up of a program made of test code.
# - In the sanitized build its own sources compile without optimisation: test files are most of
#   that build's compile time and little of the tests' run time, which goes to the code under
#   test, built at the build type's level in libraries of its own.
# - GoogleTest and the standard headers precompiled: parsing them is most of the compile time
#   of a test file at -O0. New test files get them too. A program of a few files (FEW_FILES)
#   goes without: building the precompiled header would cost it more than it saves. (GCC takes a
#   precompiled header only with the macros it was built with, so programs cannot share one.)
function(vesselsim_test_program target)
  cmake_parse_arguments(TP "FEW_FILES" "" "" ${ARGN})
  if(VESSELSIM_SANITIZE)
    target_compile_options(${target} PRIVATE -O0)
  endif()
  # In a unit of several files GCC takes each file for a header, and warns of test fixtures in an
  # anonymous namespace that every test of the file derives from.
  if(CMAKE_UNITY_BUILD AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -Wno-subobject-linkage)
  endif()
  if(NOT TP_FEW_FILES)
    vesselsim_precompile(${target} <gtest/gtest.h> ${VESSELSIM_STD_HEADERS} <fstream>)
  endif()
endfunction()
