// Writing a world's state as a scenario file. The file is written beside its final place and
// renamed onto it, so that a failed save never leaves half a scenario behind.
#include <sstream>

#include "core/platform.h"
#include "scenario_standard.h"
#include "sim/number_text.h"
#include "sim/output_file.h"
#include "sim/scenario.h"
#include "sim/trace.h"
#include "sim/world.h"

namespace sim {

namespace {

void write_environment(const World& w, const ScenarioInfo& info, std::ostream& out) {
    out << "BEGIN_ENVIRONMENT\n";
    out << "  System " << info.system << "\n";
    // The bodies move and turn with the date, written to the last digit so that free vessels read
    // back over the same ground.
    out << "  Date MJD " << format_double(w.clock.mjd) << "\n";
    out << "  SimTime " << format_double(w.clock.t_s) << "\n";
    if (w.clock.time_accel != 1.0)
        out << "  TimeAccel " << format_double(w.clock.time_accel) << "\n";
    for (const auto& b : w.bodies()) {
        const VECTOR3& wind = b->wind_horizon;
        if (wind.x != 0.0 || wind.y != 0.0 || wind.z != 0.0)
            out << "  Wind " << b->name() << " " << format_double(wind.x) << " "
                << format_double(wind.z) << " " << format_double(wind.y) << "\n";
        if (b->ground_elevation_m != 0.0)
            out << "  GroundElevation " << b->name() << " " << format_double(b->ground_elevation_m)
                << "\n";
    }
    out << "END_ENVIRONMENT\n\n";
}

void write_vessel(World& w, Vessel& v, std::ostream& out) {
    ScenarioWriteBlock block = saved_block(w, v);
    out << v.name() << ":" << v.class_name() << "\n";
    for (const auto& [key, value] : block.items) {
        out << "  " << key;
        if (!value.empty())
            out << " " << value;
        out << "\n";
    }
    out << "END\n";
}

}  // namespace

ScenarioWriteBlock saved_block(World& w, Vessel& v) {
    ScenarioWriteBlock block;
    block.vessel = &v;
    if (VESSEL2* cb = v.callbacks()) {
        call_module(w, v, "clbkSaveState", [&] { cb->clbkSaveState(&block); });
    } else {
        write_standard_lines(v, block);
        block.standard_end = block.items.size();
    }
    return block;
}

std::string scenario_text(World& w, const ScenarioInfo& info) {
    std::ostringstream out;
    out << "BEGIN_DESC\n" << info.description;
    if (!info.description.empty() && info.description.back() != '\n')
        out << "\n";
    out << "END_DESC\n\n";
    write_environment(w, info, out);
    if (w.focus())
        out << "BEGIN_FOCUS\n  Ship " << w.focus()->name() << "\nEND_FOCUS\n\n";
    out << "BEGIN_SHIPS\n";
    for (const auto& v : w.vessels()) write_vessel(w, *v, out);
    out << "END_SHIPS\n";
    return out.str();
}

bool save_scenario(World& w, const std::string& path, const ScenarioInfo& info,
                   std::string& error) {
    // Renaming onto a link or a device would replace it with a plain file.
    if (platform::exists_as_other_than_plain_file(path)) {
        error = "cannot write " + path + ": not a regular file";
        return false;
    }
    return write_file_whole(path, scenario_text(w, info), error);
}

}  // namespace sim
