// The pad's fixed tables as the stand-in stores them, entry by entry: its body, the four effect
// thrusters, the four particle streams, the 40 light flares, the beacons and the floodlights.
// The expected values are written here from the pad's published tables, so that any one changed
// number fails.
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "support/exact_vector.h"
#include "support/pad_fixture.h"

namespace {

void expect_colour(const COLOUR4& got, const COLOUR4& want, const std::string& what) {
    EXPECT_EQ(got.r, want.r) << what;
    EXPECT_EQ(got.g, want.g) << what;
    EXPECT_EQ(got.b, want.b) << what;
    EXPECT_EQ(got.a, want.a) << what;
}

std::string texture_name(SURFHANDLE t) {
    return t ? static_cast<const sim::Texture*>(t)->name : std::string("(none)");
}

struct Stream {
    const char* name;
    double size, rate, v0, spread, lifetime, growth, slowdown;
    PARTICLESTREAMSPEC::LTYPE lighting;
    double lmin, lmax, amin, amax;
    const char* texture;
};

// Without a graphics client in the process: the plain vent.
const Stream kStreams[] = {
    {"vent", 0.2, 8, 0.25, 5, 2, 0.5, 0.5, PARTICLESTREAMSPEC::EMISSIVE, 0, 1, 0.0003, 1, "(none)"},
    {"side flame", 40, 10, 250, 1.3, 1.5, 16, 3, PARTICLESTREAMSPEC::EMISSIVE, 0, 1, 0.0001, 1,
     "(none)"},
    {"side smoke", 30, 6, 250, 0.8, 0.8, 20, 3, PARTICLESTREAMSPEC::DIFFUSE, 0, 4, 0.0001, 1,
     "Contrail4"},
    {"pad plume", 10, 30, 100, 0.75, 0.5, 6, 3, PARTICLESTREAMSPEC::EMISSIVE, 0, 1, 0.0001, 1,
     "(none)"},
};

constexpr VECTOR3 kDown{0, 0, -1};
constexpr VECTOR3 kPlusX{0.2588, 0, -0.9659};
constexpr VECTOR3 kMinusX{-0.2588, 0, -0.9659};

struct Flare {
    VECTOR3 pos, dir;
};

const Flare kFlares[40] = {
    {{-11.95, -238.49, 8.75}, kDown},   {{-32.74, -207.03, 8.75}, kDown},
    {{-92.44, -164.18, 8.75}, kDown},   {{-148.16, -127.87, 8.75}, kDown},
    {{-192.13, -96.85, 8.75}, kDown},   {{-207.51, -72.6, 8.75}, kDown},
    {{-207.44, -8.7, 8.75}, kDown},     {{-207.34, 49.91, 8.75}, kDown},
    {{-199.82, 79.09, 8.75}, kDown},    {{-171.88, 145.18, 8.75}, kDown},
    {{-142.1, 221.49, 8.75}, kDown},    {{-123.33, 265.49, 8.75}, kDown},
    {{-106.48, 307.33, 8.75}, kDown},   {{-46.1, 273.74, 8.75}, kDown},
    {{11.29, 242.15, 8.75}, kDown},     {{68.21, 211.64, 8.75}, kDown},
    {{116.31, 174.12, 8.75}, kDown},    {{158.46, 121.33, 8.75}, kDown},
    {{196.46, 65.7, 8.75}, kDown},      {{211.29, -8.83, 8.75}, kDown},
    {{180.28, -66.24, 8.75}, kDown},    {{145.64, -116.06, 8.75}, kDown},
    {{108.73, -169.34, 8.75}, kDown},   {{67.15, -230.39, 8.75}, kDown},
    {{-42.51, 126.704, 17.95}, kPlusX}, {{-43, 128.99, 17.95}, kPlusX},
    {{-1.35, 128.72, 17.95}, kMinusX},  {{-1.75, 130.6, 17.95}, kMinusX},
    {{-33.97, 81.29, 17.95}, kPlusX},   {{-33.52, 79.03, 17.95}, kPlusX},
    {{5.55, 81.62, 17.95}, kMinusX},    {{6.053, 79.63, 17.95}, kMinusX},
    {{97.98, 30.58, 14.49}, kMinusX},   {{99.93, 29.22, 14.49}, kMinusX},
    {{127.89, -6.77, 14.49}, kMinusX},  {{126.93, -8.78, 14.49}, kMinusX},
    {{-127.01, 24.85, 14.49}, kPlusX},  {{-126.24, 22.64, 14.49}, kPlusX},
    {{-106.6, -49.36, 14.49}, kPlusX},  {{-105.84, -51.77, 14.49}, kPlusX},
};

}  // namespace

TEST_F(PadTest, BodyAndEffectThrustersAreThoseOfTheTables) {
    world->trace_new_vessels = true;
    sim::Vessel* v = create("Pad", "b_tvm58");
    const b_tvm58& pad = pad_of(v);
    const sim::VesselConfig& c = v->config;
    EXPECT_EQ(c.empty_mass_kg, 1e6);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(c.cw[i], 1.0) << i;
    EXPECT_EQ(c.size_m, 365.0);
    expect_vec(c.cross_sections_m2, {500, 500, 490000}, "cross sections");
    expect_vec(c.pmi_m2, {100, 100, 100}, "moments of inertia");
    expect_vec(c.rot_drag, {1, 1, 1}, "rotational drag");
    expect_vec(v->camera.offset, {0, 8, 12}, "camera offset");
    ASSERT_EQ(v->propellants.size(), 1u);
    EXPECT_EQ(v->propellants[0]->max_mass_kg, 750.0);
    EXPECT_EQ(v->propellants[0]->efficiency, 1.0);

    // As created, in the table's order: position, direction, thrust, tank, ISP, reference ISP
    // and pressure.
    const std::string tank = trace_ptr(pad.ph_tank);
    const std::string effect = ", 0, " + tank + ", 50000, 0, 101400";
    const std::vector<std::string> expected = {
        "(0, 0, 0), (1, 0, 0)" + effect,
        "(-38.5, -9.7, 0), (0.866, 0.1, -0.5)" + effect,
        "(0, 0, 4), (0, 0, -1)" + effect,
        "(0, 0, 0), (0, 0, 1)" + effect,
    };
    std::vector<std::string> created;
    for (const auto& e : v->trace.of("CreateThruster")) created.push_back(e.args);
    EXPECT_EQ(created, expected);
    const THRUSTER_HANDLE order[] = {pad.th_vent, pad.th_side_plume, pad.th_pad_plume,
                                     pad.th_lights};
    ASSERT_EQ(v->thrusters.size(), std::size(order));
    for (std::size_t i = 0; i < std::size(order); ++i)
        EXPECT_EQ(v->thrusters[i].get(), v->thruster(order[i])) << i;
    EXPECT_TRUE(v->groups.empty());
}

TEST_F(PadTest, EveryFieldOfTheFourParticleStreams) {
    sim::Vessel* v = create("Pad", "b_tvm58");
    const b_tvm58& pad = pad_of(v);
    // The vent twice, at the two arms; the side plume's flame and smoke; the pad plume.
    const struct {
        const Stream* kind;
        THRUSTER_HANDLE thruster;
        bool has_pos;
        VECTOR3 pos;
    } streams[] = {
        {&kStreams[0], pad.th_vent, true, {1.09, 0.44, 51.06}},
        {&kStreams[0], pad.th_vent, true, {1.029, 0.47, 39.82}},
        {&kStreams[1], pad.th_side_plume, false, {}},
        {&kStreams[2], pad.th_side_plume, false, {}},
        {&kStreams[3], pad.th_pad_plume, false, {}},
    };
    ASSERT_EQ(v->streams.size(), std::size(streams));
    for (std::size_t i = 0; i < std::size(streams); ++i) {
        const Stream& e = *streams[i].kind;
        SCOPED_TRACE(std::string(e.name) + ", stream " + std::to_string(i + 1));
        const sim::ParticleStream& got = *v->streams[i];
        EXPECT_EQ(got.thruster, v->thruster(streams[i].thruster));
        EXPECT_EQ(got.has_pos, streams[i].has_pos);
        if (streams[i].has_pos)
            expect_vec(got.pos, streams[i].pos, "position");
        const PARTICLESTREAMSPEC& s = got.stream;
        EXPECT_EQ(s.flags, 0u);
        EXPECT_EQ(s.srcsize, e.size);
        EXPECT_EQ(s.srcrate, e.rate);
        EXPECT_EQ(s.v0, e.v0);
        EXPECT_EQ(s.srcspread, e.spread);
        EXPECT_EQ(s.lifetime, e.lifetime);
        EXPECT_EQ(s.growthrate, e.growth);
        EXPECT_EQ(s.atmslowdown, e.slowdown);
        EXPECT_EQ(s.ltype, e.lighting);
        EXPECT_EQ(s.levelmap, PARTICLESTREAMSPEC::LVL_PSQRT);
        EXPECT_EQ(s.lmin, e.lmin);
        EXPECT_EQ(s.lmax, e.lmax);
        EXPECT_EQ(s.atmsmap, PARTICLESTREAMSPEC::ATM_PLOG);
        EXPECT_EQ(s.amin, e.amin);
        EXPECT_EQ(s.amax, e.amax);
        EXPECT_EQ(texture_name(s.tex), e.texture);
    }
}

TEST_F(PadTest, EveryOneOfTheFortyLightFlares) {
    sim::Vessel* v = create("Pad", "b_tvm58");
    const sim::Thruster* lights = v->thruster(pad_of(v).th_lights);
    ASSERT_EQ(v->exhausts.size(), std::size(kFlares));
    for (std::size_t i = 0; i < std::size(kFlares); ++i) {
        SCOPED_TRACE("flare " + std::to_string(i + 1));
        const sim::Exhaust& e = v->exhausts[i];
        const bool field = i < 24;
        EXPECT_EQ(e.thruster, lights);
        EXPECT_EQ(e.length_scale, field ? 20.0 : 30.0);
        EXPECT_EQ(e.width_scale, field ? 2.5 : 4.0);
        EXPECT_EQ(texture_name(e.texture), field ? "B_TVM58/light3" : "B_TVM58/light2");
        ASSERT_TRUE(e.has_pos);
        expect_vec(e.pos, kFlares[i].pos, "position");
        expect_vec(e.dir, kFlares[i].dir, "direction");
    }
}

TEST_F(PadTest, EveryFieldOfTheBeaconsAndFloodlights) {
    sim::Vessel* v = create("Pad", "b_tvm58");
    const b_tvm58& pad = pad_of(v);
    const VECTOR3 beacon_pos[] = {{50.39, -57.94, 106.5},
                                  {-26.58, -70.51, 106.5},
                                  {-45.71, 44.33, 106.5},
                                  {30.37, 57.85, 106.5}};
    ASSERT_EQ(v->beacons.size(), std::size(beacon_pos));
    for (std::size_t i = 0; i < std::size(beacon_pos); ++i) {
        SCOPED_TRACE("beacon " + std::to_string(i + 1));
        const BEACONLIGHTSPEC& b = *v->beacons[i].light;
        EXPECT_EQ(&b, &pad.beacon[i]);
        EXPECT_EQ(b.shape, 0u);
        expect_vec(*b.pos, beacon_pos[i], "position");
        expect_vec(*b.col, {1, 0, 0}, "colour");
        EXPECT_EQ(b.size, 0.5);
        EXPECT_EQ(b.falloff, 0.5);
        EXPECT_EQ(b.period, 4.0);
        EXPECT_EQ(b.duration, 0.1);
        EXPECT_EQ(b.tofs, 0.0);
        EXPECT_TRUE(b.active);
    }

    const double deg = std::numbers::pi / 180.0;
    const struct {
        VECTOR3 pos, dir;
    } floods[] = {
        {{20, -34, 40}, {-0.5, 0.866, 0}},
        {{0, 40, 40}, {0, -1, 0}},
        {{-34, -20, 30}, {0.866, 0.5, 0}},
    };
    ASSERT_EQ(v->spot_lights.size(), std::size(floods));
    for (std::size_t i = 0; i < std::size(floods); ++i) {
        SCOPED_TRACE("floodlight " + std::to_string(i + 1));
        const LightEmitter& l = *v->spot_lights[i].light;
        EXPECT_EQ(&l, pad.spotlight[i]);
        expect_vec(l.pos, floods[i].pos, "position");
        expect_vec(l.dir, floods[i].dir, "direction");
        EXPECT_EQ(l.range, 200.0);
        EXPECT_EQ(l.att0, 1.0);
        EXPECT_EQ(l.att1, 0.0);
        EXPECT_EQ(l.att2, 0.00005);
        EXPECT_DOUBLE_EQ(l.umbra, 45 * deg);
        EXPECT_DOUBLE_EQ(l.penumbra, 90 * deg);
        expect_colour(l.diffuse, {1, 1, 0.9f, 0}, "diffuse");
        expect_colour(l.specular, {1, 1, 0.9f, 0}, "specular");
        expect_colour(l.ambient, {0, 0, 0, 0}, "ambient");
        EXPECT_FALSE(l.IsActive());
    }
}
