// Scenario files written by the stand-in read back to the same world: positions over the same
// ground, velocities, attitudes, rotation, landed vessels, attachments, propellant, thruster
// levels, the modules' own lines, the clock and the environment. Saving replaces a file whole.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>

#include "host/keys.h"
#include "sim/frames.h"
#include "sim/keyboard.h"
#include "sim/physics.h"
#include "sim/placement.h"
#include "sim/scenario.h"
#include "support/angles.h"
#include "support/payload.h"
#include "support/world_fixture.h"

namespace {

const char* kSource = R"(BEGIN_DESC
Round trip.
END_DESC
BEGIN_ENVIRONMENT
  System Sol
  Date MJD 60650.25
  Wind Mars 3 -2 0
  GroundElevation Mars -1200
END_ENVIRONMENT
BEGIN_FOCUS
  Ship Payload
END_FOCUS
BEGIN_SHIPS
Carrier:carrier
  STATUS Orbiting Mars
  GROUND_POS 30 -12 4000
  GROUND_VEL 20 -10 -90
  HORIZON_ATT 60 15 200
  VROT 2 -3 1
END
Payload:test_vessel
  STATUS Orbiting Mars
  ATTACHED 0:0,Carrier
  PRPLEVEL 0:0.4
  THLEVEL 0:0.25
END
Ground:carrier
  STATUS Landed Mars
  POS 31.5 -11 
  HEADING 75
END
Pad:carrier
  STATUS Landed Earth
  POS -80.6 28.6
  HEADING 120
END
Glider:carrier
  STATUS Orbiting Earth
  GROUND_POS 10 51 300000
  GROUND_VEL 300 -150 -20
  HORIZON_ATT 10 -20 300
END
END_SHIPS
)";

void expect_near(const VECTOR3& a, const VECTOR3& b, double tol, const std::string& what) {
    EXPECT_NEAR(a.x, b.x, tol) << what;
    EXPECT_NEAR(a.y, b.y, tol) << what;
    EXPECT_NEAR(a.z, b.z, tol) << what;
}

void expect_same_rotation(const MATRIX3& a, const MATRIX3& b, const std::string& what) {
    for (VECTOR3 axis : {VECTOR3{1, 0, 0}, VECTOR3{0, 1, 0}, VECTOR3{0, 0, 1}})
        expect_near(sim::mul(a, axis), sim::mul(b, axis), 1e-12, what);
}

// A fresh folder, removed with everything in it when the test ends.
struct TempDir {
    std::string path;
    TempDir() {
        std::string pattern = ::testing::TempDir() + "scenario_XXXXXX";
        if (mkdtemp(pattern.data()))
            path = pattern;
    }
    ~TempDir() {
        if (!path.empty())
            std::filesystem::remove_all(path);
    }
};

int files_in(const std::string& dir) {
    int n = 0;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) n += e->d_name[0] != '.';
        closedir(d);
    }
    return n;
}

class ScenarioRoundTrip : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        register_test_vessel(*world);
    }
    PayloadLog log;
};

}  // namespace

TEST_F(ScenarioRoundTrip, SavedWorldReadsBackToTheSameState) {
    set_next_payload(&log);
    std::string error;
    sim::ScenarioInfo info;
    ASSERT_TRUE(sim::load_scenario_text(*world, kSource, "source.scn", error, &info)) << error;
    EXPECT_EQ(info.description, "Round trip.\n");
    sim::Vessel* carrier = world->vessel("Carrier");
    sim::KeyPress k{OAPI_KEY_K};
    sim::deliver_key(*carrier, k.code, true, sim::keyboard_state(k).data());
    for (int i = 0; i < 60; ++i) world->step(0.02);  // the parachute is half open

    TempDir temp;
    const std::string& dir = temp.path;
    std::string path = dir + "/saved.scn";
    ASSERT_TRUE(sim::save_scenario(*world, path, info, error)) << error;
    EXPECT_EQ(files_in(dir), 1);

    sim::World& a = *world;
    sim::World b(module_dir());
    register_test_vessel(b);
    set_next_payload(&log);
    sim::ScenarioInfo info_b;
    ASSERT_TRUE(sim::load_scenario(b, path, error, &info_b)) << error;
    EXPECT_EQ(info_b.description, info.description);
    EXPECT_DOUBLE_EQ(b.clock.t_s, a.clock.t_s);
    EXPECT_DOUBLE_EQ(b.clock.mjd, a.clock.mjd);
    expect_near(b.body("Mars")->wind_horizon, a.body("Mars")->wind_horizon, 0.0, "wind");
    EXPECT_EQ(b.body("Mars")->ground_elevation_m, -1200.0);
    ASSERT_EQ(b.vessels().size(), a.vessels().size());
    ASSERT_TRUE(b.focus());
    EXPECT_EQ(b.focus()->name(), "Payload");

    for (std::size_t i = 0; i < a.vessels().size(); ++i) {
        const sim::Vessel& va = *a.vessels()[i];
        const sim::Vessel& vb = *b.vessels()[i];
        const std::string& n = va.name();
        ASSERT_EQ(vb.name(), n);
        EXPECT_EQ(vb.state.landed, va.state.landed) << n;
        expect_near(vb.state.rpos, va.state.rpos, 1e-6, n + " position");
        expect_near(vb.state.rvel, va.state.rvel, 1e-9, n + " velocity");
        expect_near(sim::body_fixed_pos(b, vb), sim::body_fixed_pos(a, va), 1e-6,
                    n + " over the ground");
        expect_same_rotation(vb.state.rot, va.state.rot, n + " attitude");
        expect_near(vb.state.omega, va.state.omega, 1e-12, n + " rotation");
        EXPECT_EQ(vb.parent() ? vb.parent()->name() : "", va.parent() ? va.parent()->name() : "")
            << n;
        EXPECT_DOUBLE_EQ(vb.config.empty_mass_kg, va.config.empty_mass_kg) << n;
        EXPECT_DOUBLE_EQ(vb.config.cross_sections_m2.z, va.config.cross_sections_m2.z) << n;
        ASSERT_EQ(vb.propellants.size(), va.propellants.size());
        for (std::size_t p = 0; p < va.propellants.size(); ++p)
            EXPECT_NEAR(vb.propellants[p]->mass_kg, va.propellants[p]->mass_kg, 1e-9) << n;
        for (std::size_t t = 0; t < va.thrusters.size(); ++t)
            EXPECT_DOUBLE_EQ(vb.thrusters[t]->level, va.thrusters[t]->level) << n;
    }
    // Landed vessels stand where they were put on both tilted, turning bodies.
    const struct {
        const char* name;
        double lng_deg, lat_deg, heading_deg;
    } landed[] = {{"Ground", 31.5, -11, 75}, {"Pad", -80.6, 28.6, 120}};
    for (const auto& l : landed) {
        const sim::Vessel& v = *b.vessel(l.name);
        EXPECT_TRUE(v.state.landed) << l.name;
        EXPECT_NEAR(sim::landed_heading(v), l.heading_deg * kDeg, 1e-9) << l.name;
        sim::EquPos e = sim::equ_pos(b, v);
        EXPECT_NEAR(e.lng_rad, l.lng_deg * kDeg, 1e-12) << l.name;
        EXPECT_NEAR(e.lat_rad, l.lat_deg * kDeg, 1e-12) << l.name;
        EXPECT_LT(sim::length(sim::ground_velocity(b, v)), 1e-9) << l.name;
    }
}

TEST_F(ScenarioRoundTrip, GroundRelativeLinesPlaceAVesselOverTheGround) {
    // Both bodies' axes are tilted against the global frame and against each other.
    for (const std::string body : {"Mars", "Earth"}) {
        SCOPED_TRACE(body);
        sim::World w(module_dir());
        const std::string text = R"(BEGIN_ENVIRONMENT
  Date MJD 61203.71
END_ENVIRONMENT
BEGIN_SHIPS
C:carrier
  STATUS Orbiting )" + body + R"(
  GROUND_POS -45 22.5 2500
  GROUND_VEL 10 -20 -30
  HORIZON_ATT 30 90 90
END
END_SHIPS
)";
        std::string error;
        ASSERT_TRUE(sim::load_scenario_text(w, text, "g.scn", error)) << error;
        const sim::Vessel& c = *w.vessel("C");
        sim::EquPos e = sim::equ_pos(w, c);
        EXPECT_NEAR(e.lng_rad, -45 * kDeg, 1e-12);
        EXPECT_NEAR(e.lat_rad, 22.5 * kDeg, 1e-12);
        EXPECT_NEAR(sim::height_above_ground(w, c), 2500.0, 1e-6);
        // Horizon frame: x east, y up, z north.
        MATRIX3 to_hor = sim::global_to_horizon(w, c);
        expect_near(sim::mul(to_hor, sim::ground_velocity(w, c)), {10, -30, -20}, 1e-9,
                    "ground velocity");
        // Nose 30 degrees above the eastern horizon, rolled 90 degrees to the right: the right
        // side points down the slope of the nose.
        MATRIX3 att = sim::vessel_to_horizon(w, c);
        expect_near(sim::mul(att, VECTOR3{0, 0, 1}), {std::cos(30 * kDeg), 0.5, 0}, 1e-9, "nose");
        expect_near(sim::mul(att, VECTOR3{1, 0, 0}), {0.5, -std::cos(30 * kDeg), 0}, 1e-9, "right");
        EXPECT_EQ(w.warning_count(), 0);
    }
}

TEST_F(ScenarioRoundTrip, SaveReplacesTheWholeFileOrLeavesItAlone) {
    std::string error;
    ASSERT_TRUE(sim::load_scenario_text(
        *world, "BEGIN_SHIPS\nC:carrier\n STATUS Landed Mars\n POS 1 2\nEND\nEND_SHIPS\n", "s.scn",
        error))
        << error;
    TempDir temp;
    const std::string& dir = temp.path;
    std::string path = dir + "/s.scn";
    std::ofstream(path) << std::string(100000, 'x');  // longer than the scenario
    ASSERT_TRUE(sim::save_scenario(*world, path, {}, error)) << error;
    std::ifstream in(path);
    std::string saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(saved, sim::scenario_text(*world, {}));
    EXPECT_EQ(files_in(dir), 1);
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_NE(st.st_mode & S_IRGRP, 0u) << "a scenario is not a private file";

    // Into a folder that does not exist: refused, nothing written.
    EXPECT_FALSE(sim::save_scenario(*world, dir + "/missing/s.scn", {}, error));
    EXPECT_EQ(error.rfind("cannot write " + dir + "/missing/s.scn: ", 0), 0u) << error;
    // Onto a folder: refused, the folder and its contents stay.
    ASSERT_EQ(mkdir((dir + "/d").c_str(), 0755), 0);
    EXPECT_FALSE(sim::save_scenario(*world, dir + "/d", {}, error));
    EXPECT_EQ(files_in(dir), 2);
}
