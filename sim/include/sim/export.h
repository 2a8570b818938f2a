// The stand-in library is built with its symbols hidden. What a public header declares between
// SIM_API_BEGIN and SIM_API_END is its public API, exported for the program, the tests and the
// benchmarks; everything else stays inside the library. The simulator interface the modules call
// is exported by its own mark, HOST_API.
#pragma once

#define SIM_API_BEGIN _Pragma("GCC visibility push(default)")
#define SIM_API_END _Pragma("GCC visibility pop")
