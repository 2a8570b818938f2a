// What the program shows of a launch pad (class b_tvm58) beyond the stand-in's own events: its
// effect thrusters by name, and the umbilical's status as the pad changes it, with the launch
// the pad detects.
#pragma once

#include <vector>

class b_tvm58;

namespace sim {
class Vessel;
class World;
}  // namespace sim

namespace app {

// The pad record behind a vessel of class b_tvm58; null for any other vessel.
const b_tvm58* as_pad(const sim::Vessel& v);

class PadWatch {
  public:
    // Names the effect thrusters of every pad in the world and notes their statuses.
    void start(sim::World& w);
    // Reports each pad whose umbilical status changed in the last frame.
    void update(sim::World& w);

  private:
    struct Watched {
        const sim::Vessel* vessel;
        int status;
    };
    std::vector<Watched> pads_;
};

}  // namespace app
