// What the fuzz targets share: a world whose module folder holds nothing, so that only the
// classes a target registers in-process can be created, and a plain vessel class that reads
// nothing but the standard lines.
#pragma once

#include <string>

#include "host/vessel.h"
#include "sim/world.h"

namespace fuzz {

constexpr const char* kNoModules = "/nonexistent/vesselsim-fuzz-modules";

class plain_vessel final : public VESSEL2 {
  public:
    using VESSEL2::VESSEL2;
};

// Registers a class whose vessel type is V under its name.
template <typename V>
void register_class(sim::World& w, const std::string& class_name) {
    w.register_builtin_module(
        class_name, [](OBJHANDLE h, int fmodel) -> VESSEL* { return new V(h, fmodel); },
        [](VESSEL* v) { delete static_cast<V*>(v); });
}

}  // namespace fuzz
