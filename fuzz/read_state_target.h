// A module's clbkReadState on arbitrary lines, one per line of the input, followed by its
// clbkSaveState. A target for another module is this call with its class.
#pragma once

#include <cstddef>
#include <cstdint>
#include <sstream>

#include "fuzz_world.h"
#include "sim/scenario_block.h"

namespace fuzz {

template <typename V>
int read_state(const char* class_name, const std::uint8_t* data, std::size_t size) {
    sim::World w(kNoModules);
    register_class<V>(w, class_name);
    std::string error;
    sim::Vessel* v = w.create_vessel("Fuzzed", class_name, error);
    if (!v || !v->callbacks())
        __builtin_trap();
    sim::ScenarioReadBlock block;
    sim::PendingStatus pending;
    block.file = "fuzz.scn";
    block.vessel = v;
    block.pending = &pending;
    pending.block = &block;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    int number = 1;
    for (std::string line; std::getline(in, line);) {
        block.lines.push_back(line);
        block.line_numbers.push_back(++number);
    }
    {
        sim::CallbackScope scope(w, v);
        v->callbacks()->clbkReadState(&block, &pending);
        sim::ScenarioWriteBlock saved;
        v->callbacks()->clbkSaveState(&saved);
    }
    return 0;
}

}  // namespace fuzz
