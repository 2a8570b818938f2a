// Telemetry of a run: one CSV row per frame and vessel.
//
// Columns: time_s, vessel, height_m (origin above the ground), vertical_speed_m_s (up
// positive) and horizontal_speed_m_s relative to the ground, airspeed_m_s (relative to the
// turning air, wind included), tilt_deg (angle of the vessel's up axis from the local vertical:
// the normal of its first three touchdown points' plane, sim/up_axis.h), rate_deg_s (angular
// speed), mass_kg (with attached children), propellant_kg, main_level (main-engine group, 0..1),
// contact (1 while a touchdown point touches or the vessel is held on the ground), landed (1
// while held), attached_to (parent's name, empty when free), lng_deg, lat_deg, focus (1 for
// the focus vessel), then the level of each other group, empty where the vessel defines none:
// retro_level, hover_level and att_..._level for the twelve attitude groups. The columns are
// documented for authors in docs/telemetry-and-summary.md.
#pragma once

#include <string>

#include "sim/output_file.h"

namespace sim {
class World;
class Vessel;
}  // namespace sim

namespace app {

class Telemetry {
  public:
    // Prepares the file and writes the header row. False with a message when it cannot.
    bool open(const std::string& path, std::string& error);
    bool is_open() const { return open_; }
    // One row per vessel for the world's current state, whole whatever the names' lengths.
    // False with a message ("writing telemetry FILE failed: reason") once a write fails.
    bool write_rows(const sim::World& w, std::string& error);
    // Puts the finished file in place; false with a message when that fails.
    bool close(std::string& error);

    // The row of one vessel, without its line end.
    static std::string row(const sim::World& w, const sim::Vessel& v);
    static const char* header();

  private:
    bool failed(std::string& error);

    sim::OutputFile out_;
    bool open_ = false;
    std::string path_;
};

}  // namespace app
