// Bad values a module hands the host are warned about, once per vessel and operation, and the
// operation goes on with a stated replacement; a vessel left without mass is warned about; with
// --strict the first warning ends the run as an error that says where.
#include <cmath>
#include <fstream>
#include <functional>
#include <limits>

#include "host/vessel.h"
#include "sim/vessel.h"
#include "support/program_outcome.h"
#include "support/test_vessel.h"
#include "support/world_fixture.h"

namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

struct Parts {
    PROPELLANT_HANDLE tank = nullptr;
    THRUSTER_HANDLE engine = nullptr;
};

// A vessel with a 100 kg tank and a 1000 N engine in the main group.
Parts equip(test_vessel& v) {
    Parts p;
    v.SetEmptyMass(50.0);
    v.SetSize(2.0);
    p.tank = v.CreatePropellantResource(100.0);
    p.engine = v.CreateThruster({0, 0, 0}, {0, 0, 1}, 1000.0, p.tank, 3000.0);
    v.CreateThrusterGroup(&p.engine, 1, THGROUP_MAIN);
    return p;
}

}  // namespace

TEST_F(WorldTest, BadArgumentsAreWarnedOnceAndReplacedAsTheWarningSays) {
    struct Case {
        const char* warning;
        std::function<void(test_vessel&, const Parts&)> call;
        std::function<bool(const sim::Vessel&)> replaced;
    };
    const Case cases[] = {
        {"SetThrusterLevel: level nan is not within 0 to 1; taken as 0",
         [](test_vessel& v, const Parts& p) {
             v.SetThrusterLevel(p.engine, 0.5);
             v.SetThrusterLevel(p.engine, kNan);
         },
         [](const sim::Vessel& s) { return s.thrusters[0]->level == 0.0; }},
        {"SetThrusterLevel: level 5 is not within 0 to 1; taken as 1",
         [](test_vessel& v, const Parts& p) { v.SetThrusterLevel(p.engine, 5.0); },
         [](const sim::Vessel& s) { return s.thrusters[0]->level == 1.0; }},
        {"SetThrusterGroupLevel: level -1 is not within 0 to 1; taken as 0",
         [](test_vessel& v, const Parts&) { v.SetThrusterGroupLevel(THGROUP_MAIN, -1.0); },
         [](const sim::Vessel& s) { return s.thrusters[0]->level == 0.0; }},
        {"SetThrusterLevel: a null thruster handle; ignored",
         [](test_vessel& v, const Parts&) { v.SetThrusterLevel(nullptr, 1.0); },
         [](const sim::Vessel& s) { return s.thrusters[0]->level == 0.0; }},
        {"CreateThruster: maxth0 nan is not a finite number of at least 0; taken as 0: no thrust",
         [](test_vessel& v, const Parts& p) {
             v.CreateThruster({0, 0, 0}, {0, 0, 1}, kNan, p.tank, 3000.0);
         },
         [](const sim::Vessel& s) { return s.thrusters[1]->max_thrust_n == 0.0; }},
        {"CreateThruster: isp0 -5 is not a finite number of at least 0; taken as 0: no "
         "propellant burnt",
         [](test_vessel& v, const Parts& p) {
             v.CreateThruster({0, 0, 0}, {0, 0, 1}, 10.0, p.tank, -5.0);
         },
         [](const sim::Vessel& s) { return s.thrusters[1]->isp_m_s == 0.0; }},
        {"CreateThruster: not a propellant resource of this vessel; ignored",
         [](test_vessel& v, const Parts& p) {
             v.CreateThruster({0, 0, 0}, {0, 0, 1}, 10.0, p.engine, 3000.0);
         },
         [](const sim::Vessel& s) { return s.thrusters[1]->tank == nullptr; }},
        {"SetPropellantMass: mass nan is not a number; the tank keeps its mass",
         [](test_vessel& v, const Parts& p) { v.SetPropellantMass(p.tank, kNan); },
         [](const sim::Vessel& s) { return s.propellants[0]->mass_kg == 100.0; }},
        {"SetPropellantMass: mass 150 is not within 0 and the tank's 100 kg; taken as the nearer",
         [](test_vessel& v, const Parts& p) { v.SetPropellantMass(p.tank, 150.0); },
         [](const sim::Vessel& s) { return s.propellants[0]->mass_kg == 100.0; }},
        {"GetPropellantMass: a null propellant resource handle; ignored",
         [](test_vessel& v, const Parts&) { EXPECT_EQ(v.GetPropellantMass(nullptr), 0.0); },
         [](const sim::Vessel&) { return true; }},
        {"CreatePropellantResource: maxmass nan is not a finite number of at least 0; taken as 0",
         [](test_vessel& v, const Parts&) { v.CreatePropellantResource(kNan); },
         [](const sim::Vessel& s) { return s.propellants[1]->max_mass_kg == 0.0; }},
        {"SetEmptyMass: mass -3 is not a finite number of at least 0; ignored",
         [](test_vessel& v, const Parts&) { v.SetEmptyMass(-3.0); },
         [](const sim::Vessel& s) { return s.config.empty_mass_kg == 50.0; }},
        {"SetSize: size nan is not a finite number above 0; ignored",
         [](test_vessel& v, const Parts&) { v.SetSize(kNan); },
         [](const sim::Vessel& s) { return s.config.size_m == 2.0; }},
        {"SetPMI: pmi (nan, 1, 1) is not finite and at least 0; ignored",
         [](test_vessel& v, const Parts&) {
             v.SetPMI({kNan, 1, 1});
         },
         [](const sim::Vessel& s) { return std::isfinite(s.config.pmi_m2.x); }},
    };
    register_test_vessel(*world);
    int n = 0;
    for (const Case& c : cases) {
        Parts parts;
        set_next_test_vessel_setup([&](test_vessel& v) { parts = equip(v); });
        const std::string name = "V" + std::to_string(n++);
        sim::Vessel* v = create(name, "test_vessel");
        ASSERT_NE(v, nullptr);
        const int before = world->warning_count();
        // Twice: a second bad call of the same operation is not warned about again.
        c.call(as_test_vessel(v), parts);
        c.call(as_test_vessel(v), parts);
        EXPECT_EQ(world->warning_count(), before + 1) << c.warning;
        const std::string expected =
            "warning: vessel " + name + " (class test_vessel): " + c.warning;
        EXPECT_EQ(world->log_lines().back(), expected);
        EXPECT_TRUE(c.replaced(*v)) << c.warning;
    }
    expect_warnings(n);
}

TEST_F(WorldTest, AVesselLeftWithoutMassAfterItsSetUpIsWarnedAbout) {
    register_test_vessel(*world);
    set_next_test_vessel_setup([](test_vessel& v) { v.SetSize(1.0); });
    create("Light", "test_vessel");
    set_next_test_vessel_setup([](test_vessel& v) { v.CreatePropellantResource(10.0); });
    create("Fuelled", "test_vessel");
    world->finish_creation();
    ASSERT_EQ(world->warning_count(), 1);
    EXPECT_EQ(world->log_lines().back(),
              "warning: vessel Light (class test_vessel) has no mass at the end of its set-up: it "
              "would fly at 0 kg; give it one with SetEmptyMass");
    expect_warnings(1);
}

namespace {

const std::string kTestModulesOption = std::string(" --modules ") + VESSELSIM_TEST_MODULE_DIR;

std::string landed(const std::string& class_name, const std::string& extra = "") {
    return "BEGIN_SHIPS\nC:" + class_name + "\n  STATUS Landed Mars\n  POS 10 10\n" + extra +
           "END\nEND_SHIPS\n";
}

}  // namespace

// The warning goes to stderr and the log, once though the module sets the level every frame;
// with --strict the run stops at the first warning with one line that says where.
TEST(ArgumentWarnings, ARunWarnsOnceAndStrictMakesEachWarningAnError) {
    Scratch s("argument_warnings");
    const std::string nan_level = write_file(s.path("nan.scn"), landed("careless_nan_level"));
    const std::string csv = s.path("nan.csv");
    Outcome r = shell(s, kProgram + " run " + nan_level + " --until 1" + kTestModulesOption +
                             " --telemetry " + csv);
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string warning =
        "vessel C (class careless_nan_level): SetThrusterLevel: level nan is not within 0 to 1; "
        "taken as 0";
    EXPECT_EQ(r.err, "warning: " + warning + "\n");
    EXPECT_NE(read_file(s.path("nan.log")).find("warning: " + warning), std::string::npos);
    EXPECT_NE(r.out.find("  warnings: 1\n"), std::string::npos) << r.out;

    struct Case {
        std::string scenario, error;
    };
    const Case cases[] = {
        {nan_level, warning},
        {write_file(s.path("massless.scn"), landed("careless_no_mass")),
         "vessel C (class careless_no_mass) has no mass at the end of its set-up"},
        {write_file(s.path("unknown.scn"), landed("careless_no_mass", "  NO_SUCH_LINE 1\n")),
         s.path("unknown.scn") + ":5: C: "},
    };
    for (const Case& c : cases) {
        Outcome strict = shell(s, kProgram + " run " + c.scenario + " --until 1 --strict" +
                                      kTestModulesOption + " --telemetry " + csv);
        EXPECT_EQ(strict.status, 1) << c.scenario;
        EXPECT_EQ(strict.err.rfind("vesselsim: " + c.error, 0), 0u) << strict.err;
        EXPECT_NE(strict.err.find(" (an error with --strict)\n"), std::string::npos) << strict.err;
        EXPECT_EQ(std::count(strict.err.begin(), strict.err.end(), '\n'), 1) << strict.err;
        EXPECT_EQ(strict.out.find("summary:"), std::string::npos) << "the run stopped";
    }
}

// Handles and indices that name nothing, given to every operation that takes one: each is
// warned about with its operation, none is followed, and the run goes on.
TEST(ArgumentWarnings, EveryHandleOrIndexThatNamesNothingIsWarnedAboutAndIgnored) {
    Scratch s("argument_warnings");
    Outcome r =
        shell(s, kProgram + " run " + write_file(s.path("g.scn"), landed("garbage_handles")) +
                     " --until 0.1" + kTestModulesOption);
    EXPECT_EQ(r.status, 0) << r.err;
    const char* const operations[] = {
        "an animation component moves mesh 5, which the vessel does not have",
        "AttachChild: not a vessel of this world",
        "DetachChild: not an attachment of this vessel",
        "GetAttachmentStatus: not an attachment of this vessel",
        "GetRelativePos: not an object of this world",
        "oapiSetFocusObject: not a vessel of this world",
        "oapiGetVesselInterface: not a vessel of this world",
        "oapiGetGlobalPos: not an object of this world",
        "oapiGetEngineStatus: not a vessel of this world",
        "oapiCameraAttach: not a vessel of this world",
        "oapiGetObjectName: not an object of this world",
        "SetThrusterLevel: not a thruster of this vessel",
        "GetThrusterLevel: not a thruster of this vessel",
        "CreateThrusterGroup: not a thruster of this vessel",
        "AddExhaust: not a thruster of this vessel",
        "AddExhaustStream: not a thruster of this vessel",
        "GetPropellantMass: not a propellant resource of this vessel",
        "SetPropellantMass: not a propellant resource of this vessel",
        "GetPropellantMaxMass: not a propellant resource of this vessel",
        "SetAnimation: no animation 77",
        "AddAnimationComponent: no animation 77",
        "SetMeshVisibilityMode: no mesh 42",
    };
    for (const char* op : operations)
        EXPECT_NE(r.err.find(op), std::string::npos) << op << "\n" << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), std::ssize(operations)) << r.err;
}
