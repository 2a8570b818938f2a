# vesselsim_add_module(NAME SOURCES...): a vessel module NAME.so (NAME.dll on Windows) for the
# vesselsim stand-in simulator. The sources are compiled with the module frame
# (host/module_frame.cpp, which supplies the library's exports) and linked against the stand-in's
# library; the library exports exactly ovcInit, ovcExit, ModuleDate and GetModuleVersion, and
# links only when every symbol it uses is defined.
function(vesselsim_add_module name)
  if(NOT ARGN)
    message(FATAL_ERROR "vesselsim_add_module(${name}): no sources")
  endif()
  get_target_property(host_dir vesselsim::vesselsim VESSELSIM_HOST_DIR)
  add_library(${name} MODULE ${ARGN} ${host_dir}/module_frame.cpp)
  set_target_properties(${name} PROPERTIES PREFIX "")
  target_link_libraries(${name} PRIVATE vesselsim::vesselsim)
  if(WIN32)
    # NAME.dll, linked against the stand-in's import library; a DLL exports what is marked
    # __declspec(dllexport), the four entry points, and every symbol it uses is resolved.
    set_target_properties(${name} PROPERTIES SUFFIX ".dll")
    return()
  endif()
  set_target_properties(${name} PROPERTIES
    SUFFIX ".so"
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  target_link_options(${name} PRIVATE
    "LINKER:--version-script=${host_dir}/module.map"
    "LINKER:--no-undefined")
  set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${host_dir}/module.map)
endfunction()
