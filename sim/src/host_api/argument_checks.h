// The arguments a module gives the host operations, checked: a value that is not a number, out
// of its range, or a handle that is null or not the vessel's is warned about, once per vessel
// and operation ("vessel NAME (class CLASS): OPERATION: what is wrong; what is done instead"),
// and the operation goes on with the stated replacement.
#pragma once

#include <string>

#include "host/math_types.h"

namespace sim {

class Vessel;

// True the first time the vessel is warned about the operation, which is then noted.
bool first_warning(Vessel& v, const char* operation);
void report_argument(const Vessel& v, const char* operation, const std::string& what);

// Warns once per vessel and operation. what() composes the text only for that first warning: a
// module may repeat a bad argument every frame.
template <typename What>
void warn_argument(Vessel& v, const char* operation, What&& what) {
    if (first_warning(v, operation))
        report_argument(v, operation, what());
}

// The level to use: one from 0 to 1 as it is; otherwise warns, and gives the replacement (NaN:
// 0, else clamped).
double checked_level(Vessel& v, const char* operation, double level);

// True for a finite value of at least 0 (strictly more with positive); otherwise warns that
// the value is taken as replacement.
bool check_non_negative(Vessel& v, const char* operation, const char* name, double x,
                        const char* replacement);
bool check_positive(Vessel& v, const char* operation, const char* name, double x,
                    const char* replacement);

// True for a vector of finite components (each at least 0 with non_negative); otherwise warns
// that the operation is ignored (or the given replacement).
bool check_vector(Vessel& v, const char* operation, const char* name, const VECTOR3& x,
                  bool non_negative, const char* replacement = "ignored");

// True when found is set; otherwise warns that the handle is null or not one of the vessel's.
bool check_handle(Vessel& v, const char* operation, const char* kind, const void* handle,
                  bool found);

// True when found is set; otherwise warns that the handle is null or no object of the world (a
// vessel, or a body where kind says so).
bool check_object(Vessel& v, const char* operation, const char* kind, const void* handle,
                  bool found);

}  // namespace sim
