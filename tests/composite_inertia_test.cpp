// The inertia of a vessel with a part hanging on it, about their common centre: the products of
// inertia of a part offset in both x and y carry the sign of -m x y.
#include "sim/attachments.h"
#include "sim/mass_properties.h"
#include "support/test_vessel.h"
#include "support/world_fixture.h"

TEST_F(WorldTest, APartOffsetInXAndYAddsANegativeProductOfInertia) {
    register_test_vessel(*world);
    set_next_test_vessel_setup([](test_vessel& t) {
        t.SetEmptyMass(400);
        t.SetPMI(_V(1, 1, 1));
        t.CreateAttachment(false, _V(1, 2, 0), _V(0, 0, -1), _V(0, 1, 0), "part");
    });
    sim::Vessel* parent = create("Parent", "test_vessel");
    set_next_test_vessel_setup([](test_vessel& t) {
        t.SetEmptyMass(100);
        t.SetPMI(_V(0.5, 0.5, 0.5));
        t.CreateAttachment(true, _V(0, 0, 0), _V(0, 0, 1), _V(0, 1, 0), "parent");
    });
    sim::Vessel* part = create("Part", "test_vessel");
    ASSERT_TRUE(sim::attach(parent->attachment_point(false, 0), part->attachment_point(true, 0)));
    // The part hangs at (1, 2, 0), turned with its parent.
    const sim::RelativePlace place = sim::relative_place(*parent, *part);
    ASSERT_NEAR(sim::length(place.offset_m - VECTOR3{1, 2, 0}), 0.0, 1e-12);
    ASSERT_NEAR(place.rot.m11 + place.rot.m22 + place.rot.m33, 3.0, 1e-12);

    const sim::MassProperties mp = sim::mass_properties(*parent);
    EXPECT_DOUBLE_EQ(mp.mass_kg, 500.0);
    EXPECT_NEAR(mp.centre_m.x, 0.2, 1e-12);
    EXPECT_NEAR(mp.centre_m.y, 0.4, 1e-12);
    // Worked out by hand: own moments 400 and 50 about each axis; the pair's reduced mass
    // 400 x 100 / 500 = 80 kg at the offset (1, 2, 0) adds 80 y^2 = 320 about x, 80 x^2 = 80
    // about y, 80 (x^2 + y^2) = 400 about z, and the product -80 x y = -160.
    const MATRIX3 expected = {770, -160, 0, -160, 530, 0, 0, 0, 850};
    const struct {
        const char* name;
        double MATRIX3::*at;
    } elements[] = {{"xx", &MATRIX3::m11}, {"xy", &MATRIX3::m12}, {"xz", &MATRIX3::m13},
                    {"yx", &MATRIX3::m21}, {"yy", &MATRIX3::m22}, {"yz", &MATRIX3::m23},
                    {"zx", &MATRIX3::m31}, {"zy", &MATRIX3::m32}, {"zz", &MATRIX3::m33}};
    for (const auto& e : elements)
        EXPECT_NEAR(mp.inertia_kg_m2.*e.at, expected.*e.at, 1e-9) << e.name;
}
