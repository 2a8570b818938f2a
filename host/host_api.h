// Linkage of the simulator interface.
//
// HOST_API marks what the simulator itself provides (its classes and free functions); a module
// links against them the way a plug-in links against the simulator's import library.
// MODULE_EXPORT marks the few entry points a module library exports to the simulator.
#pragma once

#ifdef _WIN32
#ifdef VESSELSIM_BUILDING_HOST
#define HOST_API __declspec(dllexport)
#else
#define HOST_API __declspec(dllimport)
#endif
#define MODULE_EXPORT extern "C" __declspec(dllexport)
#else
#define HOST_API __attribute__((visibility("default")))
#define MODULE_EXPORT extern "C" __attribute__((visibility("default")))
#endif
