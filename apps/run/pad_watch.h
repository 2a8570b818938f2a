// What the program shows of a launch pad (class "b_tvm58") beyond the stand-in's own events:
// its effect thrusters by name, and the umbilical's status as the pad changes it, with the launch
// the pad detects. The program knows the pad by its class name and the lines it saves, never by
// its code.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace sim {
class Vessel;
class World;
}  // namespace sim

namespace app {

class EventText;

// The umbilical as the pad saves it: "UMB status state".
struct Umbilical {
    int status = 0;  // 0 at the rocket, 1 swung away, 2 swinging back, 3 swinging away
    double state = 0.0;
};

bool is_pad(const sim::Vessel& v);
// The pad's umbilical from its saved lines; empty for a vessel that saves none.
std::optional<Umbilical> umbilical_of(sim::World& w, sim::Vessel& pad);

// The pad's effect thrusters in the order the pad creates them.
enum PadThruster { pad_vent, pad_side_plume, pad_pad_plume, pad_light_flares };

class PadWatch {
  public:
    // Names the effect thrusters of every pad in the world and notes their statuses.
    void start(sim::World& w, EventText& words);
    // Reads each pad's umbilical once a frame and reports each whose status changed, with its
    // kind: "launch" when the change is the pad's launch, "other" otherwise.
    void update(sim::World& w,
                const std::function<void(const std::string&, const char* kind)>& report);
    // A watched pad's umbilical as last read; at rest at the rocket for any other vessel.
    Umbilical umbilical(const sim::Vessel* pad) const;

  private:
    struct Watched {
        sim::Vessel* vessel;
        Umbilical last;
    };
    std::vector<Watched> pads_;
};

}  // namespace app
