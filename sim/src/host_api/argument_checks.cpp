#include "argument_checks.h"

#include <cmath>
#include <string_view>

#include "sim/number_text.h"
#include "sim/vessel.h"
#include "sim/world.h"

namespace sim {

namespace {

std::string with_article(const char* noun) {
    const bool vowel = std::string_view("aeiou").find(noun[0]) != std::string_view::npos;
    return (vowel ? "an " : "a ") + std::string(noun);
}

std::string shown(double x) {
    return std::isnan(x) ? "nan" : format_double(x);
}

}  // namespace

bool first_warning(Vessel& v, const char* operation) {
    if (v.warned_operations.contains(std::string_view(operation)))
        return false;
    v.warned_operations.emplace(operation);
    return true;
}

void report_argument(const Vessel& v, const char* operation, const std::string& what) {
    if (World* w = World::current())
        w->warn("vessel " + v.name() + " (class " + v.class_name() + "): " + operation + ": " +
                what);
}

double checked_level(Vessel& v, const char* operation, double level) {
    if (level >= 0.0 && level <= 1.0)
        return level;
    const double replacement = std::isnan(level) || level < 0.0 ? 0.0 : 1.0;
    warn_argument(v, operation, [&] {
        return "level " + shown(level) + " is not within 0 to 1; taken as " +
               (replacement == 0.0 ? "0" : "1");
    });
    return replacement;
}

bool check_non_negative(Vessel& v, const char* operation, const char* name, double x,
                        const char* replacement) {
    if (std::isfinite(x) && x >= 0.0)
        return true;
    warn_argument(v, operation, [&] {
        return std::string(name) + " " + shown(x) + " is not a finite number of at least 0; " +
               replacement;
    });
    return false;
}

bool check_positive(Vessel& v, const char* operation, const char* name, double x,
                    const char* replacement) {
    if (std::isfinite(x) && x > 0.0)
        return true;
    warn_argument(v, operation, [&] {
        return std::string(name) + " " + shown(x) + " is not a finite number above 0; " +
               replacement;
    });
    return false;
}

bool check_vector(Vessel& v, const char* operation, const char* name, const VECTOR3& x,
                  bool non_negative, const char* replacement) {
    bool fine = true;
    for (double c : {x.x, x.y, x.z}) fine = fine && std::isfinite(c) && (!non_negative || c >= 0.0);
    if (fine)
        return true;
    warn_argument(v, operation, [&] {
        return std::string(name) + " (" + shown(x.x) + ", " + shown(x.y) + ", " + shown(x.z) +
               ") is not " + (non_negative ? "finite and at least 0" : "finite") + "; " +
               replacement;
    });
    return false;
}

namespace {

// A handle found among the owner's ("this vessel", "this world"), or warned about.
bool check_found(Vessel& v, const char* operation, const char* kind, const void* handle, bool found,
                 const char* owner) {
    if (found)
        return true;
    warn_argument(v, operation, [&] {
        return handle ? std::string("not ") + with_article(kind) + " of " + owner + "; ignored"
                      : std::string("a null ") + kind + " handle; ignored";
    });
    return false;
}

}  // namespace

bool check_handle(Vessel& v, const char* operation, const char* kind, const void* handle,
                  bool found) {
    return check_found(v, operation, kind, handle, found, "this vessel");
}

bool check_object(Vessel& v, const char* operation, const char* kind, const void* handle,
                  bool found) {
    return check_found(v, operation, kind, handle, found, "this world");
}

}  // namespace sim
