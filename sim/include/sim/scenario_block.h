// A vessel's block of a scenario file while it is read or written. The FILEHANDLE a module is
// given in clbkReadState and clbkSaveState is the address of one of these.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "host/records.h"

namespace sim {

class Vessel;

// The standard state a vessel block describes, collected while the block is read and applied
// after loading.
struct PendingStatus {
    VESSELSTATUS2 status{};
    std::vector<VESSELSTATUS2::FUELSPEC> fuel;
    std::vector<VESSELSTATUS2::THRUSTSPEC> thrusters;
    std::string attach_parent;   // name of the parent vessel, empty when free
    int attach_parent_point = 0; // index of the parent's point for children
    int attach_child_point = 0;  // index of this vessel's point towards a parent
    bool has_state = false;      // the block gave a position, a landing or a placement
};

struct ScenarioReadBlock {
    std::string file;
    std::vector<std::string> lines;   // the block's lines, without the NAME:CLASS and END lines
    std::vector<int> line_numbers;    // line number in the file of each line
    std::size_t next = 0;             // index of the next line to hand out
    std::vector<char> buffer;         // the line last handed out, writable by the module
    Vessel* vessel = nullptr;
    PendingStatus* pending = nullptr;
    // Line number of the line last handed out, 0 before the first.
    int current_line() const { return next ? line_numbers[next - 1] : 0; }
};

struct ScenarioWriteBlock {
    std::vector<std::pair<std::string, std::string>> items;  // keyword, value text
};

}  // namespace sim
