# The program's parts of this platform: the other platform's files left out (*_windows.cpp,
# *_posix.cpp). In the Windows build montecarlo, which runs its flights in processes forked from
# the program, stays Linux only, and PLplot has no Windows library here: files that say so take
# their places.
get_target_property(app_sources vesselsim_app SOURCES)
if(WIN32)
  list(FILTER app_sources EXCLUDE REGEX "^(montecarlo/|common/plot_png)")
  list(APPEND app_sources montecarlo/windows.cpp common/plot_png_windows.cpp)
  target_link_libraries(vesselsim_app PRIVATE psapi)
endif()
vesselsim_platform_sources(app_sources)
set_property(TARGET vesselsim_app PROPERTY SOURCES ${app_sources})
