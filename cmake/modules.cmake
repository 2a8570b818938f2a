# vesselsim_module(NAME SOURCES...): a vessel module library NAME.so built against the host
# interface and the stand-in's library, exporting only the four entry points.
function(vesselsim_module name)
  add_library(${name} MODULE ${ARGN} ${CMAKE_SOURCE_DIR}/host/module_frame.cpp)
  set_target_properties(${name} PROPERTIES
    PREFIX ""
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE vesselsim)
  target_link_options(${name} PRIVATE
    -Wl,--version-script=${CMAKE_SOURCE_DIR}/host/module.map
    -Wl,--no-undefined)
  set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/host/module.map)
endfunction()
