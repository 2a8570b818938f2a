// A vessel's own scenario lines as the simulator hands them to its module and takes them back.
#pragma once

#include <string>
#include <vector>

#include "sim/scenario.h"
#include "sim/world.h"

// Hands lines to a vessel's clbkReadState as the simulator reads its block.
inline void read_block(sim::World& w, sim::Vessel* v, const std::vector<std::string>& lines) {
    sim::ScenarioReadBlock block;
    sim::PendingStatus pending;
    block.file = "test.scn";
    block.lines = lines;
    for (std::size_t i = 0; i < lines.size(); ++i)
        block.line_numbers.push_back(static_cast<int>(i) + 1);
    block.vessel = v;
    block.pending = &pending;
    pending.block = &block;
    sim::CallbackScope scope(w, v);
    v->callbacks()->clbkReadState(&block, &pending);
}

// The module's own lines of a save, as "KEY value".
inline std::vector<std::string> own_lines(sim::World& w, sim::Vessel* v) {
    sim::ScenarioWriteBlock block = sim::saved_block(w, *v);
    std::vector<std::string> lines;
    for (std::size_t i = block.standard_end; i < block.items.size(); ++i)
        lines.push_back(block.items[i].first + " " + block.items[i].second);
    return lines;
}
