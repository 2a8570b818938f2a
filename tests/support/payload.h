// A test vessel built like the lander as its carrier sees it: 661 kg, the lander's drag, its
// point "land", one engine standing for its three, and its attached descent: K below 6000 m, G
// below 5000 m, engines at 0.2 below 1640 m, separation below 1490 m.
#pragma once

#include "support/test_vessel.h"

struct PayloadLog {
    double separation_height_m = -1.0;
    double separation_speed_m_s = 0.0;  // speed relative to the ground at separation
};

// Sets up the next test_vessel as the payload; its descent writes into log.
void set_next_payload(PayloadLog* log);
