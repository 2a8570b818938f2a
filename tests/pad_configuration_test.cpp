// The pad's class set-up as the stand-in receives it: the calls in their order with the values
// that matter, the effects on their thrusters, the beacons and floodlights it leaves behind.
#include <string>
#include <vector>

#include "support/pad_fixture.h"

namespace {

// The trace's operation names with runs of one operation folded: "AddExhaust x40".
std::vector<std::string> folded_ops(const sim::Trace& trace) {
    std::vector<std::string> out;
    std::string last;
    int n = 0;
    auto flush = [&] {
        if (n)
            out.push_back(n == 1 ? last : last + " x" + std::to_string(n));
    };
    for (const auto& e : trace.entries) {
        if (e.op == last) {
            ++n;
            continue;
        }
        flush();
        last = e.op;
        n = 1;
    }
    flush();
    return out;
}

}  // namespace

TEST_F(PadTest, ClassSetupRunsItsStepsInOrder) {
    world->trace_new_vessels = true;
    sim::Vessel* v = create("Pad", "b_tvm58");
    const std::vector<std::string> expected = {"CreateAnimation",
                                               "AddAnimationComponent x3",
                                               "oapiWriteLog",  // the probe, finding no client
                                               "SetEmptyMass",
                                               "SetCW",
                                               "SetSize",
                                               "SetCrossSections",
                                               "SetPMI",
                                               "SetTouchdownPoints",
                                               "SetRotDrag",
                                               "AddMesh",
                                               "SetMeshVisibilityMode",
                                               "SetCameraOffset",
                                               "CreatePropellantResource",
                                               "oapiRegisterParticleTexture",
                                               "CreateThruster",
                                               "AddExhaustStream x2",  // vent
                                               "CreateThruster",
                                               "AddExhaustStream x2",  // side plume: flame, smoke
                                               "CreateThruster",
                                               "AddExhaustStream",  // pad plume
                                               "CreateThruster",    // lights
                                               "oapiRegisterExhaustTexture x2",
                                               "AddExhaust x40",
                                               "AddBeacon x4",
                                               "AddSpotLight",
                                               "Activate",
                                               "AddSpotLight",
                                               "Activate",
                                               "AddSpotLight",
                                               "Activate"};
    EXPECT_EQ(folded_ops(v->trace), expected);

    const b_tvm58& pad = pad_of(v);
    const std::string tank = trace_ptr(pad.ph_tank);
    auto args = [&](const char* op, std::size_t i) {
        auto calls = v->trace.of(op);
        return i < calls.size() ? calls[i].args : std::string("(missing)");
    };
    EXPECT_EQ(args("SetEmptyMass", 0), "1e+06");
    EXPECT_EQ(args("SetCrossSections", 0), "(500, 500, 490000)");
    EXPECT_EQ(args("SetTouchdownPoints", 0),
              "(0, 365, -0.001), (365, -365, -0.001), (-365, -365, -0.001)");
    EXPECT_EQ(args("AddMesh", 0), "\"B_TVM58/b_tvm58\", (0, 0, 0)");
    EXPECT_EQ(args("SetMeshVisibilityMode", 0), "0, 3");
    EXPECT_EQ(args("CreatePropellantResource", 0), "750, 750, 1");
    EXPECT_EQ(args("CreateThruster", 1),
              "(-38.5, -9.7, 0), (0.866, 0.1, -0.5), 0, " + tank + ", 50000, 0, 101400");
    EXPECT_EQ(args("CreateThruster", 2),
              "(0, 0, 4), (0, 0, -1), 0, " + tank + ", 50000, 0, 101400");
    EXPECT_EQ(
        args("AddExhaustStream", 1).rfind(trace_ptr(pad.th_vent) + ", (1.029, 0.47, 39.82)", 0),
        0u);
    EXPECT_EQ(args("oapiRegisterExhaustTexture", 0), "\"B_TVM58/light3\"");
    EXPECT_EQ(args("AddSpotLight", 2),
              "(-34, -20, 30), (0.866, 0.5, 0), 200, 1, 0, 5e-05, 0.7853981633974483, "
              "1.5707963267948966");
    EXPECT_EQ(args("Activate", 0), trace_ptr(pad.spotlight[0]) + ", false");
}

TEST_F(PadTest, EffectsHangOnTheirThrustersAndTheLightsStartOffWithBeaconsOn) {
    sim::Vessel* v = create("Pad", "b_tvm58");
    const b_tvm58& pad = pad_of(v);
    ASSERT_EQ(v->streams.size(), 5u);
    const THRUSTER_HANDLE owners[] = {pad.th_vent, pad.th_vent, pad.th_side_plume,
                                      pad.th_side_plume, pad.th_pad_plume};
    const double sizes[] = {0.2, 0.2, 40, 30, 10};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(v->streams[i]->thruster, v->thruster(owners[i])) << i;
        EXPECT_EQ(v->streams[i]->stream.srcsize, sizes[i]) << i;
        EXPECT_EQ(v->streams[i]->has_pos, i < 2) << i;
    }
    const PARTICLESTREAMSPEC& smoke = v->streams[3]->stream;
    EXPECT_EQ(smoke.ltype, PARTICLESTREAMSPEC::DIFFUSE);
    EXPECT_EQ(smoke.lmax, 4);
    ASSERT_NE(smoke.tex, nullptr);
    EXPECT_EQ(static_cast<sim::Texture*>(smoke.tex)->name, "Contrail4");

    ASSERT_EQ(v->exhausts.size(), 40u);
    for (std::size_t i = 0; i < 40; ++i) {
        const sim::Exhaust& e = v->exhausts[i];
        EXPECT_EQ(e.thruster, v->thruster(pad.th_lights)) << i;  // one switch for all of them
        EXPECT_EQ(e.length_scale, i < 24 ? 20 : 30) << i;
        EXPECT_EQ(static_cast<sim::Texture*>(e.texture)->name,
                  i < 24 ? "B_TVM58/light3" : "B_TVM58/light2");
    }
    EXPECT_EQ(v->exhausts[23].pos.x, 67.15);
    EXPECT_EQ(v->exhausts[39].dir.x, 0.2588);

    ASSERT_EQ(v->beacons.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(v->beacons[i].light, &pad.beacon[i]);  // read in place
        EXPECT_TRUE(pad.beacon[i].active);
        EXPECT_EQ(pad.beacon[i].col->x, 1);
        EXPECT_EQ(pad.beacon[i].period, 4);
    }
    EXPECT_EQ(pad.beacon[3].pos->y, 57.85);
    ASSERT_EQ(v->spot_lights.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(v->spot_lights[i].light.get(), pad.spotlight[i]);
        EXPECT_FALSE(pad.spotlight[i]->IsActive());
    }
    for (THRUSTER_HANDLE th : {pad.th_vent, pad.th_side_plume, pad.th_pad_plume, pad.th_lights})
        EXPECT_EQ(level(v, th), 0.0);
}
