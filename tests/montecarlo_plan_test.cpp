// The parts of a Monte Carlo study that run in one process: the plan's dispersions and shards,
// the CSV that carries a run, the judgement and percentiles of the report, and the start
// overrides that make a run's conditions.
#include <cmath>
#include <numbers>

#include "apps/montecarlo/csv.h"
#include "apps/montecarlo/identity.h"
#include "apps/montecarlo/report.h"
#include "apps/montecarlo/study_file.h"
#include "sim/frames.h"
#include "sim/physics.h"
#include "sim/scenario.h"
#include "support/angles.h"
#include "support/scenario_texts.h"
#include "support/world_fixture.h"

namespace {

bool on_decimals(double v, int decimals) {
    double scaled = v * std::pow(10.0, decimals);
    return std::abs(scaled - std::round(scaled)) < 1e-6;
}

}  // namespace

TEST(MontecarloPlan, DispersionsStayInTheirRangesOnTheirDecimalsAndCoverThem) {
    app::DispersionRanges r;
    r.dt_min_s = 0.015;
    double lowest_dt = 1.0, highest_dt = 0.0, lowest_turn = 0.0, highest_turn = 0.0;
    for (int run = 0; run < 2000; ++run) {
        app::Dispersion d = app::disperse(r, 42, run);
        const app::StartOverrides& s = d.start;
        ASSERT_EQ(d.run, run);
        EXPECT_GE(d.dt_s, 0.015);
        EXPECT_LE(d.dt_s, 0.05);
        EXPECT_GE(s.height_scale, 0.9);
        EXPECT_LE(s.height_scale, 1.1);
        EXPECT_GE(s.speed_scale, 0.8);
        EXPECT_LE(s.speed_scale, 1.2);
        EXPECT_GE(s.wind_m_s, 0.0);
        EXPECT_LE(s.wind_m_s, 15.0);
        EXPECT_GE(s.wind_from_deg, 0.0);
        EXPECT_LE(s.wind_from_deg, 360.0);
        EXPECT_GE(s.turn_axis_deg, 0.0);
        EXPECT_LE(s.turn_axis_deg, 180.0);
        EXPECT_GE(std::abs(s.ground_offset_m), 0.0);
        EXPECT_LE(std::abs(s.ground_offset_m), 2000.0);
        EXPECT_LE(std::abs(s.turn_deg), 10.0);
        EXPECT_TRUE(on_decimals(d.dt_s, 4) && on_decimals(s.height_scale, 4) &&
                    on_decimals(s.wind_m_s, 2) && on_decimals(s.turn_deg, 2) &&
                    on_decimals(s.ground_offset_m, 0))
            << run;
        lowest_dt = std::min(lowest_dt, d.dt_s);
        highest_dt = std::max(highest_dt, d.dt_s);
        lowest_turn = std::min(lowest_turn, s.turn_deg);
        highest_turn = std::max(highest_turn, s.turn_deg);
    }
    // The whole range is used, both ends.
    EXPECT_LT(lowest_dt, 0.0152);
    EXPECT_GT(highest_dt, 0.0498);
    EXPECT_LT(lowest_turn, -9.9);
    EXPECT_GT(highest_turn, 9.9);
    // Fixed by the study's seed and the run number; another seed or run, other values.
    EXPECT_EQ(app::disperse(r, 42, 7).seed, app::disperse(r, 42, 7).seed);
    EXPECT_EQ(app::disperse(r, 42, 7).start.height_scale,
              app::disperse(r, 42, 7).start.height_scale);
    EXPECT_NE(app::disperse(r, 42, 7).seed, app::disperse(r, 43, 7).seed);
    EXPECT_NE(app::disperse(r, 42, 7).seed, app::disperse(r, 42, 8).seed);
}

TEST(MontecarloPlan, ShardsSplitTheRunsWithoutGapOrOverlap) {
    for (int runs : {1, 2, 7, 1000})
        for (int n : {1, 2, 3, 8}) {
            int next = 0;
            for (int k = 1; k <= n; ++k) {
                app::RunRange r = app::shard_runs(runs, k, n);
                EXPECT_EQ(r.first, next) << runs << " " << k << "/" << n;
                EXPECT_GE(r.end, r.first);
                EXPECT_LE(r.end - r.first, (runs + n - 1) / n);
                next = r.end;
            }
            EXPECT_EQ(next, runs) << runs << " in " << n;
        }
    const std::vector<std::pair<std::string, bool>> texts = {
        {"1/2", true},  {"2/2", true},  {"1/1", true},  {"0/2", false},
        {"3/2", false}, {"1/0", false}, {"a/2", false}, {"1/2x", false},
        {"1/", false},  {"/2", false},  {"12", false},  {"-1/2", false}};
    for (const auto& [text, ok] : texts) {
        int k = 0, n = 0;
        EXPECT_EQ(app::parse_shard(text, k, n), ok) << text;
    }
}

TEST(MontecarloCsv, ARowReadsBackToTheSameLineAndOddScenarioNamesSurvive) {
    app::StudyRow row{"dir, with \"quotes\"/x.scn", app::disperse({}, 5, 3), {}};
    row.touchdown = {true, true, 1.23456, 0.0432, 0.51, 20.98765, 107.5201, ""};
    const app::Criteria c;
    std::string line = app::csv_line(row, c);
    app::StudyRow back;
    std::string error;
    ASSERT_TRUE(app::parse_csv_line(line, c, back, error)) << error << ": " << line;
    EXPECT_EQ(back.scenario, row.scenario);
    EXPECT_EQ(back.dispersion.seed, row.dispersion.seed);
    EXPECT_EQ(back.dispersion.start.as_arguments(), row.dispersion.start.as_arguments());
    EXPECT_EQ(back.touchdown.vertical_m_s, 1.2346);
    EXPECT_EQ(app::csv_line(back, c), line);

    // A run that never touched down keeps its reason.
    row.touchdown = {};
    row.touchdown.failure = "killed by signal 9";
    ASSERT_TRUE(app::parse_csv_line(app::csv_line(row, c), c, back, error)) << error;
    EXPECT_EQ(app::verdict(back.touchdown, c), "killed by signal 9");

    const auto figure = [&](const std::string& value) {  // the vertical speed replaced
        std::string spoilt = line;
        const std::string v = "1.2346";
        return spoilt.replace(spoilt.find(v), v.size(), value);
    };
    for (const std::string& bad :
         {std::string("1,2,3"), line + ",extra", "x" + line, figure("-inf"), figure("nan"),
          figure("inf"),
          // a landing too fast for the criteria, still written a success
          figure("9.0000"),
          // a failed landing whose reason is not the one its figures give
          figure("9.0000").substr(0, line.rfind(",1,")) + ",0,made up reason",
          // success column flipped
          line.substr(0, line.rfind(",1,")) + ",0," + line.substr(line.rfind(",1,") + 3)}) {
        EXPECT_FALSE(app::parse_csv_line(bad, c, back, error)) << bad;
    }
}

TEST(MontecarloReport, AVerdictNamesEveryLimitBrokenWithItsValueAtTheLimitItself) {
    const app::Criteria lander;
    const app::Touchdown good{true, true, 1.5, 0.02, 0.5, 20.0, 100.0, ""};
    EXPECT_EQ(app::verdict(good, lander), "");
    struct Case {
        void (*spoil)(app::Touchdown&);
        const char* why;
    };
    const Case cases[] = {
        {[](app::Touchdown& t) { t.vertical_m_s = 2.5; }, "vertical speed 2.5000 m/s, limit 2.5"},
        {[](app::Touchdown& t) { t.horizontal_m_s = 0.5; },
         "horizontal speed 0.5000 m/s, limit 0.5"},
        {[](app::Touchdown& t) { t.tilt_deg = 5.0; }, "tilt 5.0000 deg, limit 5"},
        {[](app::Touchdown& t) { t.propellant_kg = 0.0; },
         "propellant 0.0000 kg, limit more than 0"},
        {[](app::Touchdown& t) { t.autopilot_off = false; }, "autopilot still on"},
        {[](app::Touchdown& t) { t.touched = false; }, "no touchdown"},
    };
    for (const Case& c : cases) {
        app::Touchdown t = good;
        c.spoil(t);
        EXPECT_EQ(app::verdict(t, lander), c.why);
    }
    app::Touchdown below = good;
    below.vertical_m_s = 2.4999;
    below.horizontal_m_s = 0.4999;
    below.tilt_deg = 4.9999;
    below.propellant_kg = 0.0001;
    EXPECT_EQ(app::verdict(below, lander), "");

    // Every broken limit, not only the first.
    app::Touchdown crash = good;
    crash.vertical_m_s = 12.25;
    crash.tilt_deg = 31.0;
    crash.propellant_kg = 0.0;
    EXPECT_EQ(app::verdict(crash, lander),
              "vertical speed 12.2500 m/s, limit 2.5; tilt 31.0000 deg, limit 5; "
              "propellant 0.0000 kg, limit more than 0");

    // Other limits: a rover allowed 13 m/s down, judged against its own limits; a survival
    // study needs no touchdown, but one that happens is judged.
    app::Criteria rover;
    rover.max_vertical_m_s = 13.0;
    rover.min_propellant_kg = -1.0;
    rover.max_tilt_deg = 40.0;
    EXPECT_EQ(app::verdict(crash, rover), "");
    crash.vertical_m_s = 13.0;
    EXPECT_EQ(app::verdict(crash, rover), "vertical speed 13.0000 m/s, limit 13");
    // A vessel without tanks keeps the other limits; the propellant it has left is not judged.
    app::Criteria tankless;
    tankless.min_propellant_kg.reset();
    EXPECT_EQ(app::verdict(crash, tankless),
              "vertical speed 13.0000 m/s, limit 2.5; tilt 31.0000 deg, limit 5");
    app::Criteria survive;
    survive.survive_s = 60.0;
    EXPECT_EQ(app::verdict(app::Touchdown{}, survive), "");
    EXPECT_EQ(app::verdict(crash, survive).substr(0, 14), "vertical speed");
    app::Touchdown faulted;
    faulted.failure = "state not finite";
    EXPECT_EQ(app::verdict(faulted, survive), "state not finite");
}

// The scenario's hash is written in every study file: it must stay FNV-1a, as the published
// test vectors give it, or every file written before would be refused on resume.
TEST(MontecarloIdentity, TheScenarioHashIsFnv1aOfTheBytes) {
    EXPECT_EQ(app::content_hash(""), "fnv1a64:cbf29ce484222325");
    EXPECT_EQ(app::content_hash("a"), "fnv1a64:af63dc4c8601ec8c");
    EXPECT_EQ(app::content_hash("foobar"), "fnv1a64:85944171f73967e8");
}

TEST(MontecarloIdentity, ReadsBackAndNamesTheFirstItemThatDiffers) {
    app::StudyIdentity id;
    id.version = VESSELSIM_VERSION;
    id.scenario = "scenarios/mars_descent.scn";
    id.scenario_hash = app::content_hash("BEGIN_SHIPS\nEND_SHIPS\n");
    id.seed = 18446744073709551615ull;
    id.runs = 30000;
    id.shard_k = 3;
    id.shard_n = 30;
    id.ranges.dt_min_s = 0.015;
    id.criteria.vessel = "Tevlan";
    id.criteria.max_vertical_m_s = 0.1 + 0.2;  // no short decimal: read back exactly all the same
    id.vessel_class = "quor_tevlan";
    id.limits.wall_time_s = 12.5;
    auto lines_of = [](const std::string& text) {
        std::vector<std::string> lines;
        for (std::size_t at = 0; at < text.size();) {
            std::size_t end = text.find('\n', at);
            lines.push_back(text.substr(at, end - at));
            at = end + 1;
        }
        return lines;
    };
    const std::string text = app::identity_text(id);
    const std::vector<std::string> lines = lines_of(text);
    app::StudyIdentity back;
    std::string error;
    ASSERT_TRUE(app::parse_identity(lines, back, error)) << error << "\n" << text;
    EXPECT_EQ(app::identity_text(back), text);
    EXPECT_EQ(app::identity_difference(id, back), "");
    EXPECT_EQ(back.criteria.max_vertical_m_s, 0.1 + 0.2);
    EXPECT_EQ(back.shard_k, 3);

    // The path and the shard do not make another study; the content, a seed, a limit do.
    app::StudyIdentity other = back;
    other.scenario = "/elsewhere/mars_descent.scn";
    other.shard_k = 4;
    EXPECT_EQ(app::identity_difference(id, other), "");
    other.seed = 7;
    EXPECT_EQ(app::identity_difference(id, other), "seed 7, not 18446744073709551615");
    other = back;
    other.scenario_hash = app::content_hash("BEGIN_SHIPS\nEND_SHIPS\n ");
    EXPECT_NE(app::identity_difference(id, other).find("scenario-hash"), std::string::npos);
    other = back;
    other.limits.wall_time_s = 12.0;
    EXPECT_EQ(app::identity_difference(id, other), "max-wall-time 12, not 12.5");

    // A study that does not judge the propellant left reads back as one.
    other = back;
    other.criteria.min_propellant_kg.reset();
    const std::string unjudged = app::identity_text(other);
    EXPECT_NE(unjudged.find("\n# min-propellant: none\n"), std::string::npos) << unjudged;
    ASSERT_TRUE(app::parse_identity(lines_of(unjudged), back, error)) << error;
    EXPECT_FALSE(back.criteria.min_propellant_kg.has_value());
    EXPECT_EQ(app::identity_difference(id, back), "min-propellant none, not 0");

    // Another version is refused for that alone; a missing or unknown item, a bad number too.
    auto refused = [&](std::vector<std::string> spoilt, const std::string& why) {
        app::StudyIdentity ignored;
        EXPECT_FALSE(app::parse_identity(spoilt, ignored, error)) << why;
        EXPECT_NE(error.find(why), std::string::npos) << error;
    };
    std::vector<std::string> spoilt = lines;
    spoilt[1] = "# version: 0.9.9";
    refused(spoilt, "written by vesselsim 0.9.9, this is " VESSELSIM_VERSION);
    spoilt = lines;
    spoilt.pop_back();
    refused(spoilt, "items");
    spoilt = lines;
    spoilt.push_back("# colour: blue");
    refused(spoilt, "items");
    spoilt = lines;
    spoilt[5] = "# runs: many";
    refused(spoilt, "items");
    // More runs than the command line allows would be counted out one by one.
    spoilt[5] = "# runs: " + std::to_string(app::kMaxStudyRuns + 1);
    refused(spoilt, "items");
    spoilt[5] = "# runs: " + std::to_string(app::kMaxStudyRuns);
    ASSERT_TRUE(app::parse_identity(spoilt, back, error)) << error;
    spoilt = lines;
    spoilt.insert(spoilt.begin() + 6, lines[5]);
    refused(spoilt, "the identity gives runs twice");
    refused({}, "no study identity");
}

TEST(MontecarloStudyFile, MissingAndRepeatedRunsAreNamedInSpans) {
    std::vector<app::StudyRow> rows;
    for (int run : {0, 1, 2, 5, 9, 9, 10, 12, 12, 13, 13}) {
        app::StudyRow r;
        r.dispersion.run = run;
        rows.push_back(r);
    }
    int count = 0;
    EXPECT_EQ(app::missing_runs(rows, 0, 15, count), "3-4, 6-8, 11, 14");
    EXPECT_EQ(count, 7);
    EXPECT_EQ(app::missing_runs(rows, 0, 3, count), "");
    EXPECT_EQ(count, 0);
    EXPECT_EQ(app::repeated_runs(rows, count), "9, 12-13");
    EXPECT_EQ(count, 3);
    // Long lists are cut after ten spans.
    EXPECT_EQ(app::missing_runs({}, 0, 1000, count), "0-999");
    std::vector<app::StudyRow> odd;
    for (int run = 1; run < 40; run += 2) {
        app::StudyRow r;
        r.dispersion.run = run;
        odd.push_back(r);
    }
    EXPECT_EQ(app::missing_runs(odd, 0, 40, count),
              "0, 2, 4, 6, 8, 10, 12, 14, 16, 18 and 10 more");
    EXPECT_EQ(count, 20);
}

TEST(MontecarloReport, PercentilesTakeTheNearestRank) {
    std::vector<double> v;
    for (int i = 1; i <= 200; ++i) v.push_back(i);
    EXPECT_EQ(app::percentile(v, 50), 100);
    EXPECT_EQ(app::percentile(v, 95), 190);
    EXPECT_EQ(app::percentile(v, 99), 198);
    EXPECT_EQ(app::percentile(v, 100), 200);
    EXPECT_EQ(app::percentile({7.0}, 50), 7.0);
    EXPECT_EQ(app::percentile({1.0, 2.0, 3.0}, 50), 2.0);
    EXPECT_EQ(app::percentile({1.0, 2.0, 3.0}, 67), 3.0);
}

namespace {

// A carrier over Mars with a lander on it, and a landed carrier elsewhere.
const char* kStart = R"(BEGIN_SHIPS
Carrier:carrier
  STATUS Orbiting Mars
  GROUND_POS 30 20 3000
  GROUND_VEL 30 -20 -80
  HORIZON_ATT 70 10 200
END
Tevlan:quor_tevlan
  STATUS Orbiting Mars
  ATTACHED 0:0,Carrier
END
Parked:carrier
  STATUS Landed Mars
  POS 31 20
  HEADING 40
END
END_SHIPS
)";

class StartOverridesTest : public WorldTest {
  protected:
    // The test asserts on the answer before it looks at the vessels.
    ::testing::AssertionResult load() {
        std::string error;
        if (!sim::load_scenario_text(*world, kStart, "start.scn", error))
            return ::testing::AssertionFailure() << error;
        for (const char* name : {"Carrier", "Tevlan", "Parked"})
            if (!world->vessel(name))
                return ::testing::AssertionFailure() << "no vessel " << name;
        return ::testing::AssertionSuccess();
    }
    MATRIX3 attitude_over_ground(const sim::Vessel& v) const {
        return sim::vessel_to_horizon(*world, v);
    }
};

}  // namespace

TEST_F(StartOverridesTest, TheCarrierStartsHigherFasterTurnedAndTheLanderStaysOnIt) {
    ASSERT_TRUE(load());
    sim::Vessel* carrier = world->vessel("Carrier");
    sim::Vessel* lander = world->vessel("Tevlan");
    sim::Vessel* parked = world->vessel("Parked");
    const double height = sim::height_above_ground(*world, *carrier);
    const VECTOR3 vel =
        sim::mul(sim::global_to_horizon(*world, *carrier), sim::ground_velocity(*world, *carrier));
    const MATRIX3 att = attitude_over_ground(*carrier);
    const double parked_height = sim::height_above_ground(*world, *parked);
    const sim::EquPos place = sim::equ_pos(*world, *carrier);
    auto hanging = [&] {
        return sim::tmul(carrier->state.rot, lander->state.rpos - carrier->state.rpos);
    };
    const VECTOR3 offset = hanging();

    app::StartOverrides o;
    o.height_scale = 1.07;
    o.speed_scale = 0.85;
    o.turn_deg = 8.0;
    o.turn_axis_deg = 120.0;
    o.wind_m_s = 10.0;
    o.wind_from_deg = 90.0;  // from the east
    o.ground_offset_m = -1500.0;
    std::string error;
    ASSERT_TRUE(app::apply_start_overrides(*world, o, error)) << error;

    sim::Body* mars = world->body("Mars");
    EXPECT_DOUBLE_EQ(mars->ground_elevation_m, -1500.0);
    EXPECT_NEAR(sim::height_above_ground(*world, *carrier), height * 1.07, 1e-6);
    const sim::EquPos moved = sim::equ_pos(*world, *carrier);
    EXPECT_NEAR(moved.lng_rad, place.lng_rad, 1e-12);
    EXPECT_NEAR(moved.lat_rad, place.lat_rad, 1e-12);
    const VECTOR3 vel2 =
        sim::mul(sim::global_to_horizon(*world, *carrier), sim::ground_velocity(*world, *carrier));
    for (double k : {vel2.x / vel.x, vel2.y / vel.y, vel2.z / vel.z}) EXPECT_NEAR(k, 0.85, 1e-9);
    // Turned by 8 degrees about the horizontal axis at heading 120: that axis (x east, z north)
    // keeps its place, every other direction of the vessel moves.
    const MATRIX3 att2 = attitude_over_ground(*carrier);
    const VECTOR3 axis{std::sin(120 * kDeg), 0.0, std::cos(120 * kDeg)};
    const VECTOR3 axis_in_vessel = sim::tmul(att, axis);
    EXPECT_NEAR(sim::length(sim::mul(att2, axis_in_vessel) - axis), 0.0, 1e-9);
    const VECTOR3 nose = sim::mul(att, VECTOR3{0, 0, 1}), nose2 = sim::mul(att2, VECTOR3{0, 0, 1});
    const double nose_turn = std::acos(std::clamp(sim::dot(nose, nose2), -1.0, 1.0)) / kDeg;
    EXPECT_GT(nose_turn, 0.5);
    EXPECT_LE(nose_turn, 8.0 + 1e-9);
    // Wind from the east blows towards the west.
    EXPECT_NEAR(mars->wind_horizon.x, -10.0, 1e-9);
    EXPECT_NEAR(mars->wind_horizon.z, 0.0, 1e-9);
    // The landed carrier stands on the lowered ground; the lander hangs where it hung.
    EXPECT_NEAR(sim::height_above_ground(*world, *parked), parked_height, 1e-6);
    EXPECT_TRUE(parked->state.landed);
    EXPECT_NEAR(sim::length(hanging() - offset), 0.0, 1e-6);
}

TEST_F(StartOverridesTest, NoOverridesLeaveTheWorldAsLoadedAndNeedNoFreeVessel) {
    ASSERT_TRUE(load());
    sim::Vessel* carrier = world->vessel("Carrier");
    const VECTOR3 pos = carrier->state.rpos, vel = carrier->state.rvel;
    std::string error;
    ASSERT_TRUE(app::apply_start_overrides(*world, {}, error));
    EXPECT_EQ(sim::length(carrier->state.rpos - pos), 0.0);
    EXPECT_EQ(sim::length(carrier->state.rvel - vel), 0.0);
    EXPECT_TRUE(app::StartOverrides{}.as_arguments().empty());

    sim::World empty(module_dir());
    app::StartOverrides o;
    o.wind_m_s = 3.0;
    EXPECT_FALSE(app::apply_start_overrides(empty, o, error));
}

TEST_F(StartOverridesTest, WhereNothingFliesTheLandedVesselsBodyTakesTheWindAndTheGround) {
    std::string error;
    ASSERT_TRUE(sim::load_scenario_text(*world, kParked, "parked.scn", error)) << error;
    sim::Vessel* parked = world->vessel("Parked");
    ASSERT_NE(parked, nullptr);
    const double height = sim::height_above_ground(*world, *parked);
    app::StartOverrides o;
    o.height_scale = 1.2;  // no free vessel to lift
    o.wind_m_s = 6.0;
    o.wind_from_deg = 180.0;  // from the south
    o.ground_offset_m = 250.0;
    ASSERT_TRUE(app::apply_start_overrides(*world, o, error)) << error;
    sim::Body* mars = world->body("Mars");
    EXPECT_DOUBLE_EQ(mars->ground_elevation_m, 250.0);
    EXPECT_NEAR(mars->wind_horizon.z, 6.0, 1e-9);
    EXPECT_NEAR(mars->wind_horizon.x, 0.0, 1e-9);
    EXPECT_NEAR(sim::height_above_ground(*world, *parked), height, 1e-6);
    EXPECT_TRUE(parked->state.landed);
}
