// The bodies' figures against their published values, seen where they show: how far from the
// centre of Mars a vessel placed over its ground is saved, and how hard Earth's air at the
// surface pushes on a moving vessel.
//
// Published figures (NASA Goddard Space Flight Center, Planetary Fact Sheets,
// nssdc.gsfc.nasa.gov/planetary/factsheet): Mars, volumetric mean radius 3389.5 km; Earth,
// surface density of the atmosphere 1.217 kg/m^3 and its scale height 8.5 km.
#include <cmath>
#include <sstream>
#include <string>

#include "host/vessel.h"
#include "sim/loads.h"
#include "sim/scenario.h"
#include "support/test_vessel.h"
#include "support/world_fixture.h"

namespace {

constexpr double kMarsMeanRadius_m = 3389.5e3;
constexpr double kEarthSurfaceDensity_kg_m3 = 1.217;
constexpr double kEarthScaleHeight_m = 8.5e3;

// The position of the saved RPOS line of the scenario text.
bool saved_rpos(const std::string& text, VECTOR3& pos) {
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string key;
        if (words >> key && key == "RPOS")
            return static_cast<bool>(words >> pos.x >> pos.y >> pos.z);
    }
    return false;
}

class PublishedFigures : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        register_test_vessel(*world);
        set_next_test_vessel_setup([](test_vessel& t) {
            t.SetEmptyMass(100);
            t.SetCW(1, 1, 1, 1);
            t.SetCrossSections(_V(2, 2, 2));
        });
    }
};

}  // namespace

TEST_F(PublishedFigures, AVesselAKilometreOverMarsIsSavedAtTheMeanRadiusPlusAKilometre) {
    std::string error;
    ASSERT_TRUE(sim::load_scenario_text(*world,
                                        "BEGIN_SHIPS\nV:test_vessel\n  STATUS Orbiting Mars\n"
                                        "  GROUND_POS 20 -30 1000\nEND\nEND_SHIPS\n",
                                        "mars.scn", error))
        << error;
    VECTOR3 pos;
    ASSERT_TRUE(saved_rpos(sim::scenario_text(*world, {}), pos));
    EXPECT_NEAR(std::sqrt(pos.x * pos.x + pos.y * pos.y + pos.z * pos.z),
                kMarsMeanRadius_m + 1000.0, 1.0);
    // The height over the mean radius that the module is told.
    sim::Vessel* v = world->vessel("V");
    ASSERT_NE(v, nullptr);
    EXPECT_NEAR(v->iface->GetAltitude(ALTMODE_MEANRAD), 1000.0, 0.01);
}

TEST_F(PublishedFigures, EarthsAirAtTheSurfacePushesAsItsPublishedDensitySays) {
    std::string error;
    // 100 m over the mean radius (clear of the ground), moving straight up through still air at
    // 100 m/s.
    ASSERT_TRUE(
        sim::load_scenario_text(*world,
                                "BEGIN_SHIPS\nV:test_vessel\n  STATUS Orbiting Earth\n"
                                "  GROUND_POS 0 0 100\n  GROUND_VEL 0 0 100\nEND\nEND_SHIPS\n",
                                "earth.scn", error))
        << error;
    sim::Vessel* v = world->vessel("V");
    ASSERT_NE(v, nullptr);
    const double drag_n = std::sqrt([&] {
        VECTOR3 f = sim::compute_loads(*world, *v).force_global;
        return f.x * f.x + f.y * f.y + f.z * f.z;
    }());
    // Drag 1/2 rho v^2 cw A, with cw 1 and 2 m^2 across the flow whichever way it meets it.
    const double rho = kEarthSurfaceDensity_kg_m3 * std::exp(-100.0 / kEarthScaleHeight_m);
    EXPECT_NEAR(drag_n, 0.5 * rho * 100.0 * 100.0 * 2.0, 1.0);
}
