# What `cmake --install` lays out in a prefix, for module authors and CI jobs:
#   bin/vesselsim                       the program
#   lib/libvesselsim.so.1               the stand-in's library, with its soname
#   lib/vesselsim/modules/              the shipped modules and fixtures
#   include/vesselsim/host/             the simulator interface, the module frame and its map
#   lib/cmake/vesselsim/                the CMake package: vesselsim::vesselsim, vesselsim_add_module
#   lib/pkgconfig/vesselsim.pc          the same for pkg-config
#   share/vesselsim/scenarios/          ready-to-run scenarios
#   share/vesselsim/examples/hoverbox/  the example module, to copy
#   share/doc/vesselsim/                the guides
# Every path inside the prefix is relative: a prefix may be moved or copied whole.
include(CMakePackageConfigHelpers)

set(VESSELSIM_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/vesselsim)

install(TARGETS vesselsim EXPORT vesselsimTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(EXPORT vesselsimTargets NAMESPACE vesselsim:: DESTINATION ${VESSELSIM_CMAKE_DIR})

install(FILES ${CMAKE_SOURCE_DIR}/host/module_frame.cpp ${CMAKE_SOURCE_DIR}/host/module.map
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vesselsim/host)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/host/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vesselsim/host
  FILES_MATCHING PATTERN "*.h")

configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/vesselsimConfig.cmake.in
  ${CMAKE_BINARY_DIR}/vesselsimConfig.cmake INSTALL_DESTINATION ${VESSELSIM_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/vesselsimConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/vesselsimConfig.cmake
  ${CMAKE_BINARY_DIR}/vesselsimConfigVersion.cmake
  ${CMAKE_SOURCE_DIR}/cmake/vesselsim_add_module.cmake
  DESTINATION ${VESSELSIM_CMAKE_DIR})

# pkg-config finds the prefix from where the file lies.
file(RELATIVE_PATH VESSELSIM_PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" VESSELSIM_PC_TO_PREFIX "${VESSELSIM_PC_TO_PREFIX}")
# What the library target links publicly, as the CMake package gives it (the loader's -ldl).
set(VESSELSIM_PC_PUBLIC_LIBS "")
foreach(lib ${CMAKE_DL_LIBS})
  string(APPEND VESSELSIM_PC_PUBLIC_LIBS " -l${lib}")
endforeach()
configure_file(${CMAKE_SOURCE_DIR}/cmake/vesselsim.pc.in ${CMAKE_BINARY_DIR}/vesselsim.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/vesselsim.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(DIRECTORY ${CMAKE_SOURCE_DIR}/scenarios/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vesselsim/scenarios)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vesselsim/examples
  PATTERN "examples/CMakeLists.txt" EXCLUDE)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR})
