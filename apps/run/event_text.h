// The program's wording of the stand-in's events: one line each, as the run prints them.
#pragma once

#include <map>
#include <string>

#include "sim/event.h"

namespace app {

class EventText {
  public:
    // Names a thruster of a vessel in its effect events, in place of "thruster N".
    void name_thruster(const std::string& vessel, int thruster, std::string name);

    std::string operator()(const sim::Event& e) const;

  private:
    std::string thruster(const sim::Vessel& v, int index) const;
    std::map<std::pair<std::string, int>, std::string> thruster_names_;
};

// "    12.34  ": the simulation time that starts each event line.
std::string time_prefix(double t_s);

}  // namespace app
