// A vessel's block of a scenario file while it is read or written. The FILEHANDLE a module is
// given in clbkReadState and clbkSaveState is the address of one of these.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "host/records.h"
#include "sim/export.h"

namespace sim {
SIM_API_BEGIN

class Vessel;
struct ScenarioReadBlock;

// The standard state a vessel block describes, collected while the block is read and applied
// after loading.
struct PendingStatus {
    VESSELSTATUS2 status{};
    std::vector<VESSELSTATUS2::FUELSPEC> fuel;
    std::vector<VESSELSTATUS2::THRUSTSPEC> thrusters;
    std::string attach_parent;         // name of the parent vessel, empty when free
    unsigned attach_parent_point = 0;  // index of the parent's point for children
    unsigned attach_child_point = 0;   // index of this vessel's point towards a parent
    bool has_state = false;            // the block gave a position, a landing or a placement

    // Placement relative to the surface (GROUND_POS, GROUND_VEL, HORIZON_ATT), turned into the
    // status record once the clock of the scenario is known.
    bool has_ground_pos = false, has_ground_vel = false, has_horizon_att = false;
    double ground_lng_rad = 0.0, ground_lat_rad = 0.0, ground_height_m = 0.0;
    VECTOR3 ground_vel_horizon{0, 0, 0};  // x east, y up, z north, m/s
    double pitch_rad = 0.0, bank_rad = 0.0, heading_rad = 0.0;

    // Where each standard keyword was read, for messages: keyword -> line number.
    std::map<std::string, int> lines;
    const ScenarioReadBlock* block = nullptr;  // the block being read, if any
    // First malformed standard line, as "FILE:LINE: what is wrong"; empty when none.
    std::string error;
};

struct ScenarioReadBlock {
    std::string file;
    int header_line = 0;             // line number of the NAME:CLASS line
    std::vector<std::string> lines;  // the block's lines, without the NAME:CLASS and END lines
    std::vector<int> line_numbers;   // line number in the file of each line
    std::size_t next = 0;            // index of the next line to hand out
    std::vector<char> buffer;        // the line last handed out, writable by the module
    Vessel* vessel = nullptr;
    PendingStatus* pending = nullptr;
    // Line number of the line last handed out, 0 before the first.
    int current_line() const { return next ? line_numbers[next - 1] : 0; }
};

struct ScenarioWriteBlock {
    std::vector<std::pair<std::string, std::string>> items;  // keyword, value text
    // The vessel whose block it is, named in the warning about a line that is refused.
    Vessel* vessel = nullptr;
    // Where the standard lines went among the items: [standard_first, standard_end).
    std::size_t standard_first = 0, standard_end = 0;
};

SIM_API_END
}  // namespace sim
