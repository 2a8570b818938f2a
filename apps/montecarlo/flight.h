// One run of a Monte Carlo study: the scenario with its dispersed start, flown until the judged
// vessel has been on the ground for a moment (or has flown the time it must survive), and how it
// touched down.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "apps/montecarlo/criteria.h"
#include "apps/montecarlo/plan.h"

namespace sim {
class World;
}

namespace app {

// A study's scenario read once, and the modules of its vessels loaded into a world that no
// vessel has entered yet. Each run forks from the prepared process and loads the scenario from
// memory into its copy of that world, so runs cost neither the file nor the libraries, and no
// module-wide data of one run reaches another.
class PreparedStudy {
  public:
    PreparedStudy();
    ~PreparedStudy();
    PreparedStudy(const PreparedStudy&) = delete;
    PreparedStudy& operator=(const PreparedStudy&) = delete;

    // Reads the scenario and loads it once in a child process: it must load, and hold the
    // vessel the criteria name (the first quor_tevlan lander when they name none, whose name
    // then goes into the criteria), within the wall time limit of a run or a minute, whichever
    // is longer. Then loads here the modules its vessels use. False with one line in error
    // otherwise.
    bool prepare(const std::string& scenario, const std::string& modules_dir, Criteria& c,
                 const RunLimits& l, std::string& error);

    const std::string& scenario() const { return path_; }
    const std::string& text() const { return text_; }
    // The class of the vessel judged, and whether it has propellant tanks of its own.
    const std::string& vessel_class() const { return class_; }
    bool carries_propellant() const { return carries_propellant_; }

    // Flies one run. Only in a child process of the prepared one: the run enters its world.
    // error is set, and nothing judged, when the scenario fails to load.
    Touchdown fly(const Dispersion& d, const Criteria& c, const RunLimits& l,
                  std::string& error) const;

  private:
    std::string path_, text_, class_;
    bool carries_propellant_ = false;
    std::unique_ptr<sim::World> world_;
};

// A run as every run was flown before studies had a prepared process: the scenario read and its
// modules loaded for this run alone. The yardstick of the benchmark.
Touchdown fly_from_file(const std::string& scenario, const std::string& modules_dir,
                        const Dispersion& d, const Criteria& c, const RunLimits& l,
                        std::string& error);

}  // namespace app
