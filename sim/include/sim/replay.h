// The recording of a run for the replay page: what each vessel's module declared (meshes,
// animation components, thrusters, flares, streams, beacons, spot lights, camera), and samples
// of the run (poses relative to the ground under the focus vessel, animation states, levels,
// light states, the focus vessel's HUD), with the run's events. docs/replay.md describes the
// recording and the page.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sim/export.h"

namespace sim {
SIM_API_BEGIN

class World;
class Vessel;

struct ReplayOptions {
    double samples_per_s = 30.0;
    // Largest recording, bytes: past it samples are thinned (every event's sample stays) and
    // the page says so.
    std::size_t max_bytes = 5u << 20;
    // Further folders to look for meshes in, after the meshes folder beside each vessel's module.
    std::vector<std::string> mesh_folders;
    // How often the focus vessel's HUD is drawn for the recording, per simulated second.
    double hud_per_s = 5.0;
};

class ReplayRecorder {
  public:
    explicit ReplayRecorder(ReplayOptions options = {});
    ~ReplayRecorder();
    ReplayRecorder(const ReplayRecorder&) = delete;
    ReplayRecorder& operator=(const ReplayRecorder&) = delete;

    // Takes a sample of the world when one is due, or always when forced (a frame with an
    // event, the first and the last).
    void sample(World& w, bool force = false);
    // An event of the run, worded; kind marks it on the timeline ("separation", "touchdown",
    // "liftoff", "launch", "key" or "other").
    void event(double t_s, const std::string& kind, const std::string& text);
    // Marks the last sample as one to keep when samples are thinned.
    void keep_last();
    // A frame longer than modules can steer by: noted once, with its length.
    void note(const std::string& text);

    std::size_t sample_count() const;
    void set_max_bytes(std::size_t n);
    // The recording as JSON, thinned under the size limit. Warnings for meshes that could not
    // be read and for thinning go to warnings (each once).
    std::string json(std::vector<std::string>& warnings) const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The page: the viewer's script and the recording in one HTML file. False with the reason when
// the viewer's script cannot be read or the page cannot be written.
bool write_replay_page(const std::string& path, const std::string& recording_json,
                       const std::string& viewer_script_path, std::string& error);

SIM_API_END
}  // namespace sim
