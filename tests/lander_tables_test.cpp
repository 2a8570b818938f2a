// The geometry of the lander's 19 animation components, entry by entry: each rotation's
// reference point, axis and angle, each translation's shift. The expected values are written
// here from the lander's published tables, so that any one changed number fails. (Their mesh
// groups, ranges and parents are checked with the lander object.)
#include <numbers>
#include <string>

#include "lander/quor_tevlan.h"
#include "support/exact_vector.h"
#include "support/world_fixture.h"

namespace {

struct Geometry {
    bool rotate;
    VECTOR3 ref_or_shift;
    VECTOR3 axis;
    double angle_deg;
};

const Geometry kComponents[animation_component_count] = {
    // Landing gear.
    {true, {0, -0.93, -0.39}, {1, 0, 0}, -59.5},
    {true, {0, -1.08, 0.65}, {1, 0, 0}, -22},
    {false, {0, 0.229968, 0.629907}, {}, 0},
    {true, {-0.805, 0.465, -0.39}, {0.503334, 0.864092, 0}, 59.5},
    {true, {-0.946, 0.545, 0.65}, {0.503125, 0.864214, 0}, 22},
    {false, {0.200009, -0.120009, 0.629919}, {}, 0},
    {true, {0.805, 0.465, -0.39}, {-0.503125, 0.864214, 0}, -59.5},
    {true, {0.946, 0.545, 0.65}, {-0.503125, 0.864214, 0}, -22},
    {false, {-0.200009, -0.120009, 0.629919}, {}, 0},
    // Meteorology mast.
    {true, {1.049, 0.746, 0.456}, {0, 1, 0}, 90},
    // High-gain antenna.
    {true, {0.557, -0.68, 0.273}, {0, 1, 0}, -76},
    {true, {0.85, -0.653, 0.346}, {0, 1, 0}, 165},
    {true, {0.238, -0.628, 0.346}, {0, 1, 0}, -90},
    {true, {0.557, -0.68, 1.191}, {0, 1, 0}, -45},
    // Sampling arm.
    {true, {-0.263, 0.939, 0.34}, {0.957024, 0.290007, 0}, -35},
    {true, {-0.263, 0.939, 0.34}, {0, 0, 1}, 166},
    {true, {-0.263, 0.939, 0.34}, {1, 0, 0}, -100},
    {false, {0, 0.14, -0.28}, {}, 0},
    {false, {0, 0.188, -0.38}, {}, 0},
};

}  // namespace

TEST_F(WorldTest, EveryAnimationComponentHasThePointAxisAngleOrShiftOfItsTable) {
    sim::Vessel* v = create("QT", "quor_tevlan");
    const quor_tevlan& l = *static_cast<quor_tevlan*>(v->iface);
    for (int i = 0; i < animation_component_count; ++i) {
        SCOPED_TRACE("component " + std::to_string(i));
        const Geometry& g = kComponents[i];
        const MGROUP_TRANSFORM* c = l.anim_components[i];
        ASSERT_NE(c, nullptr);
        if (g.rotate) {
            ASSERT_EQ(c->Type(), MGROUP_TRANSFORM::ROTATE);
            const auto* r = static_cast<const MGROUP_ROTATE*>(c);
            expect_vec(r->ref, g.ref_or_shift, "reference point");
            expect_vec(r->axis, g.axis, "axis");
            EXPECT_EQ(r->angle, static_cast<float>(g.angle_deg * std::numbers::pi / 180.0));
        } else {
            ASSERT_EQ(c->Type(), MGROUP_TRANSFORM::TRANSLATE);
            expect_vec(static_cast<const MGROUP_TRANSLATE*>(c)->shift, g.ref_or_shift, "shift");
        }
    }
}
