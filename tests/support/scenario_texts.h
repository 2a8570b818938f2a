// Small scenarios over Mars that tests load or hand to the program.
#pragma once

// A carrier falling from 3 km over Mars: a scenario of one vessel that every run can load.
inline const char* const kFalling = R"(BEGIN_SHIPS
Carrier:carrier
  STATUS Orbiting Mars
  GROUND_POS 0 0 3000
  GROUND_VEL 0 0 -60
  HORIZON_ATT 90 0 0
END
END_SHIPS
)";

// A short descent of the lander on its carrier, for a study of one run.
inline const char* const kDescent = R"(BEGIN_SHIPS
Carrier:carrier
  STATUS Orbiting Mars
  GROUND_POS -45 22.5 2500
  GROUND_VEL 5 3 -60
  HORIZON_ATT 88 0 240
END
Tevlan:quor_tevlan
  STATUS Orbiting Mars
  ATTACHED 0:0,Carrier
END
END_SHIPS
)";

// A carrier standing on the ground, and nothing in flight.
inline const char* const kParked = R"(BEGIN_SHIPS
Parked:carrier
  STATUS Landed Mars
  POS 31 20
  HEADING 40
END
END_SHIPS
)";
