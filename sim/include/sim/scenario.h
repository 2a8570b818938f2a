// Scenario files: reading one into a world and writing a world's state back out. The format is
// described in docs/scenario-format.md.
#pragma once

#include <string>

#include "sim/export.h"
#include "sim/scenario_block.h"

namespace sim {
SIM_API_BEGIN

class Vessel;
class World;

// What a scenario file says besides its vessels.
struct ScenarioInfo {
    std::string description;  // the lines between BEGIN_DESC and END_DESC
    std::string system = "Sol";
};

// Reads a scenario file into a world that has no vessels of its own yet: sets the environment,
// creates every vessel through its module, hands each block to the vessel's clbkReadState,
// applies the states, makes the attachments, sets the focus and finally runs every vessel's
// clbkAfterCreation. Lines the stand-in does not know are logged as warnings with their file
// and line. On failure returns false with one line "FILE:LINE: what is wrong" in error, and the
// vessels it created are gone again.
bool load_scenario(World& w, const std::string& path, std::string& error,
                   ScenarioInfo* info = nullptr);

// The same from text already in memory; file names it in messages.
bool load_scenario_text(World& w, const std::string& text, const std::string& file,
                        std::string& error, ScenarioInfo* info = nullptr);

// The lines of a vessel's block as a save writes them: its module's clbkSaveState, or the
// standard lines alone for a vessel without callbacks.
ScenarioWriteBlock saved_block(World& w, Vessel& v);

// The scenario text of the world's current state: each vessel's standard lines, then its
// module's own lines (clbkSaveState).
std::string scenario_text(World& w, const ScenarioInfo& info);

// Writes scenario_text to a temporary file beside path and renames it onto path, so that path
// holds either its former contents or the complete new scenario. A path that names something
// other than a regular file (a link, a device, a folder) is refused. False with a message on
// failure.
bool save_scenario(World& w, const std::string& path, const ScenarioInfo& info, std::string& error);

SIM_API_END
}  // namespace sim
