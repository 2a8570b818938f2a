# The Windows build, cross-compiled with mingw-w64 (cmake/mingw-w64-x86_64.cmake) and flown
# under Wine: the stand-in's library vesselsim.dll with its import library, the modules and the
# fixtures as DLLs in lib/vesselsim/modules/, vesselsim.exe (run and describe), and the programs
# of the checks that run under Wine (tests/windows/). The layout is the Linux build's, but for
# the DLLs a program needs, which Windows looks for beside the program: bin/ holds them.
enable_language(C)
if(VESSELSIM_CCACHE AND NOT CMAKE_C_COMPILER_LAUNCHER)
  set(CMAKE_C_COMPILER_LAUNCHER ${VESSELSIM_CCACHE})
endif()
# M_PI and the other constants of <cmath>, which the C runtime declares only when asked.
add_compile_definitions(_USE_MATH_DEFINES)

# ERFA from its source (scripts/fetch-erfa-source.sh): Debian ships it for Linux only.
set(VESSELSIM_ERFA_SOURCE "" CACHE PATH
  "ERFA's source tree, as scripts/fetch-erfa-source.sh lays it out")
if(NOT EXISTS ${VESSELSIM_ERFA_SOURCE}/src/erfa.h)
  message(FATAL_ERROR "VESSELSIM_ERFA_SOURCE: no ERFA source tree at '${VESSELSIM_ERFA_SOURCE}'")
endif()
file(GLOB ERFA_SOURCES ${VESSELSIM_ERFA_SOURCE}/src/*.c)
# Its tests, and its version text, which its own build system writes.
list(FILTER ERFA_SOURCES EXCLUDE REGEX "/(t_[^/]*|erfaversion)\\.c$")
add_library(erfa STATIC ${ERFA_SOURCES})
target_include_directories(erfa SYSTEM PUBLIC ${VESSELSIM_ERFA_SOURCE}/src)
target_compile_options(erfa PRIVATE -w)
add_library(PkgConfig::ERFA INTERFACE IMPORTED)
set_property(TARGET PkgConfig::ERFA PROPERTY INTERFACE_LINK_LIBRARIES erfa)

# CLI11 is header-only: its headers alone, without the rest of the build machine's /usr/include.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/cli11)
file(CREATE_LINK /usr/include/CLI ${CMAKE_BINARY_DIR}/cli11/CLI SYMBOLIC)
add_library(CLI11::CLI11 INTERFACE IMPORTED)
set_property(TARGET CLI11::CLI11 PROPERTY INTERFACE_INCLUDE_DIRECTORIES ${CMAKE_BINARY_DIR}/cli11)

# Pictures of HUDs (cairo) and plots (PLplot) have no Windows libraries here: those options say
# so on Windows.
add_library(PkgConfig::CAIRO INTERFACE IMPORTED)
add_library(PkgConfig::PLPLOT INTERFACE IMPORTED)

# The import libraries beside the DLLs' other build products in lib/.
set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/${CMAKE_INSTALL_LIBDIR})

add_subdirectory(sim)
add_subdirectory(lander)
add_subdirectory(launchpad)
add_subdirectory(fixtures)
add_subdirectory(apps)
add_subdirectory(tests/windows)

# The compiler's run-time DLLs, beside the program.
foreach(runtime libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime}
    OUTPUT_VARIABLE runtime_path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${runtime_path}")
    find_file(runtime_path ${runtime} PATHS /usr/${VESSELSIM_MINGW_TRIPLE}/lib NO_DEFAULT_PATH)
  endif()
  if(NOT EXISTS "${runtime_path}")
    message(FATAL_ERROR "no ${runtime} for the compiler ${CMAKE_CXX_COMPILER}")
  endif()
  file(COPY ${runtime_path} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  unset(runtime_path CACHE)
endforeach()
