// The replay page of a run: where the program finds the viewer's script and the shipped
// meshes, and the page written from a recording.
#pragma once

#include <ostream>
#include <string>

#include "sim/replay.h"

namespace app {

// The viewer's script, relative to the program: lib/vesselsim/viewer/replay-viewer.js beside
// its bin/, in the build folder as in an installed prefix; VESSELSIM_VIEWER overrides it.
std::string viewer_script_path();

// The options of a run's recording: the meshes folder beside the program's own modules is
// looked in after the one beside each module.
sim::ReplayOptions replay_options();

// Writes the page; the recording's warnings go to err. False with the reason in error.
bool write_replay(const sim::ReplayRecorder& recorder, const std::string& path, std::ostream& err,
                  std::string& error);

}  // namespace app
