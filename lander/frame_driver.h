// The lander's per-frame driver: touchdown dust, arming near Mars, the descent step, the two
// one-shot actions on the mother vessel, and the motion of the four mechanisms.
#pragma once

#include "host/math_types.h"

namespace driver {

constexpr double dust_below_m = 4.0;
constexpr double near_mars_m = 3'633'000.0;  // distance from the centre of Mars
constexpr double push_above_m = 100'000.0;
constexpr VECTOR3 push_m_s{0.0, 0.0, 0.3};  // along the mother vessel's +z

// How fast a mechanism's state moves, per second of simulation time.
struct mechanism_rates {
    double out_per_s;  // towards state 1
    double in_per_s;   // towards state 0
};
constexpr mechanism_rates hga_rates{0.05, 0.05};
constexpr mechanism_rates arm_rates{0.05, 0.03};
constexpr mechanism_rates mast_rates{0.1, 0.1};
constexpr mechanism_rates gear_rates{0.5, 0.5};

// Dust intensity of a free lander: the main-engine level, faded with the height above ground
// (full from 1 m down) and with the tilt of the thrust axis (gone from 30 degrees on); 0 from
// 4 m up. axis_up is the vertical component of the thrust axis' unit vector.
double dust_level(double main_level, double height_m, double axis_up);

// One frame of a mechanism: moves a moving state by its rate, completes a move that passed its
// end, holds a resting state at its end; an unknown status leaves the state where it is.
void advance_mechanism(int& status, double& state, mechanism_rates rates, double step_s);

}  // namespace driver
