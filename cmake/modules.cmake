# vesselsim_module(NAME SOURCES...): one of this tree's modules, built as a module author's is
# (vesselsim_add_module), into the modules folder, finding the stand-in's library relative to
# itself (lib/vesselsim/modules/ -> lib/), and installed with the program.
include(${CMAKE_CURRENT_LIST_DIR}/vesselsim_add_module.cmake)

set(VESSELSIM_INSTALL_MODULEDIR ${CMAKE_INSTALL_LIBDIR}/vesselsim/modules)

function(vesselsim_module name)
  vesselsim_add_module(${name} ${ARGN})
  set_target_properties(${name} PROPERTIES
    LIBRARY_OUTPUT_DIRECTORY ${VESSELSIM_MODULE_DIR}
    BUILD_WITH_INSTALL_RPATH ON
    INSTALL_RPATH "$ORIGIN/../..")
  install(TARGETS ${name} LIBRARY DESTINATION ${VESSELSIM_INSTALL_MODULEDIR})
endfunction()

# vesselsim_platform_sources(LIST): drops from LIST the sources of the other platform, files
# named *_windows.cpp on POSIX systems and *_posix.cpp on Windows.
function(vesselsim_platform_sources list)
  if(WIN32)
    list(FILTER ${list} EXCLUDE REGEX "_posix\\.cpp$")
  else()
    list(FILTER ${list} EXCLUDE REGEX "_windows\\.cpp$")
  endif()
  set(${list} ${${list}} PARENT_SCOPE)
endfunction()
