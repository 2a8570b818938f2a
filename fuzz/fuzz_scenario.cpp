// The scenario reader on whole files: whatever the text, a load either succeeds or fails with
// one line, and a loaded world can be saved and advanced.
#include <cstddef>
#include <cstdint>

#include "fuzz_world.h"
#include "lander/quor_tevlan.h"
#include "sim/scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    sim::World w(fuzz::kNoModules);
    fuzz::register_class<quor_tevlan>(w, "quor_tevlan");
    fuzz::register_class<fuzz::plain_vessel>(w, "plain");
    sim::ScenarioInfo info;
    std::string error;
    if (!sim::load_scenario_text(w, text, "fuzz.scn", error, &info)) {
        if (error.empty() || error.find('\n') != std::string::npos || !w.vessels().empty())
            __builtin_trap();
        return 0;
    }
    sim::scenario_text(w, info);
    try {
        w.step(0.02);
    } catch (const sim::NonFiniteState&) {
    }
    return 0;
}
