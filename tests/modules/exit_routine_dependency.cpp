// A library a module depends on that exports exit routines of its own: they are not the
// module's, and its frame must not call them.
#include <cstdlib>

#ifdef _WIN32
// The C runtime's name for it.
inline int setenv(const char* name, const char* value, int) {
    return _putenv_s(name, value);
}
#endif

#include "host/handles.h"
#include "host/host_api.h"

MODULE_EXPORT void ExitModule(HINSTANCE) {
    setenv("VESSELSIM_EXIT_ROUTINE_CALLED", "the dependency's ExitModule", 1);
}
MODULE_EXPORT void opcDLLExit(HINSTANCE) {
    setenv("VESSELSIM_EXIT_ROUTINE_CALLED", "the dependency's opcDLLExit", 1);
}
