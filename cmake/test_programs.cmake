# vesselsim_test_program(TARGET): the compile set-up of a program made of test code.
# - In the sanitized build its own sources compile without optimisation: test files are most of
#   that build's compile time and little of the tests' run time, which goes to the code under
#   test, built at the build type's level in libraries of its own.
# - The GoogleTest and standard headers the test files include are precompiled once; parsing
#   them is most of the compile time of a test file at -O0. New test files get them too.
function(vesselsim_test_program target)
  if(VESSELSIM_SANITIZE)
    target_compile_options(${target} PRIVATE -O0)
  endif()
  target_precompile_headers(${target} PRIVATE <gtest/gtest.h> <algorithm> <cmath> <cstdio>
    <cstring> <fstream> <functional> <map> <memory> <numbers> <sstream> <string> <vector>)
  # ccache caches objects built with a precompiled header only when told to overlook what it
  # cannot see through one (macros defined before it, __DATE__ and __TIME__).
  if(VESSELSIM_CCACHE AND CMAKE_CXX_COMPILER_LAUNCHER STREQUAL VESSELSIM_CCACHE)
    set_target_properties(${target} PROPERTIES CXX_COMPILER_LAUNCHER
      "env;CCACHE_SLOPPINESS=pch_defines,time_macros;${VESSELSIM_CCACHE}")
  endif()
endfunction()
