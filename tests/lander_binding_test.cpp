// After creation the lander binds Mars and its mother vessel; its generic cockpit shows the
// selected camera view.
#include <cstring>
#include <string>
#include <vector>

#include "support/lander_setup_support.h"

TEST_F(LanderSetupTest, AttachedLanderBindsItsParentAndTakesItsName) {
    sim::Vessel* carrier = new_carrier("Carrier-7");
    sim::Vessel* v = create("Lander", "quor_tevlan");
    quor_tevlan* l = lander_of(v);
    std::strcpy(l->mother_name, "Elsewhere");  // as a scenario's MTHR line may have set it
    ASSERT_TRUE(hang(v, carrier));
    world->finish_creation();

    EXPECT_EQ(l->mars_handle, world->body("Mars")->handle());
    EXPECT_EQ(l->mother_vessel, carrier->handle());
    EXPECT_STREQ(l->mother_name, "Carrier-7");
}

TEST_F(LanderSetupTest, ParentWithALongNameIsBoundAndItsNameCutToTheBuffer) {
    const std::string long_name = "Interplanetary-Carrier-With-A-Very-Long-Name";
    sim::Vessel* carrier = new_carrier(long_name);
    sim::Vessel* v = create("Lander", "quor_tevlan");
    quor_tevlan* l = lander_of(v);
    ASSERT_NE(l, nullptr);
    // Marks past the 30 characters the binding may write.
    std::memset(l->mother_name, 'x', sizeof l->mother_name - 1);
    l->mother_name[sizeof l->mother_name - 1] = '\0';
    ASSERT_TRUE(hang(v, carrier));
    v->trace.enabled = true;
    world->finish_creation();

    EXPECT_EQ(l->mother_vessel, carrier->handle());
    EXPECT_EQ(std::string(l->mother_name), long_name.substr(0, 29));
    for (std::size_t i = 30; i < sizeof l->mother_name - 1; ++i)
        ASSERT_EQ(l->mother_name[i], 'x') << "byte " << i << " written";
    ASSERT_EQ(v->trace.of("oapiGetObjectName").size(), 1u);
    EXPECT_EQ(v->trace.of("oapiGetObjectName")[0].args,
              lander_setup::ptr_text(carrier->handle()) + ", 30");
}

TEST_F(LanderSetupTest, FreeLanderFindsItsFormerMotherVesselByName) {
    sim::Vessel* carrier = new_carrier("Carrier-7");
    quor_tevlan* l = new_lander("Lander");
    std::strcpy(l->mother_name, "Carrier-7");
    world->finish_creation();

    EXPECT_EQ(l->mother_vessel, carrier->handle());
    EXPECT_STREQ(l->mother_name, "Carrier-7");
    EXPECT_EQ(l->mars_handle, world->body("Mars")->handle());
}

TEST_F(LanderSetupTest, FreeLanderWithNoSuchVesselBindsNothing) {
    new_carrier("Carrier-7");
    quor_tevlan* plain = new_lander("Plain");  // the default name "NULL"
    quor_tevlan* renamed = new_lander("Renamed");
    std::strcpy(renamed->mother_name, "Carrier-8");
    world->finish_creation();

    for (quor_tevlan* l : {plain, renamed}) {
        EXPECT_EQ(l->mother_vessel, nullptr);
        EXPECT_EQ(l->mars_handle, world->body("Mars")->handle());
    }
    EXPECT_STREQ(plain->mother_name, "NULL");
    EXPECT_STREQ(renamed->mother_name, "Carrier-8");
}

TEST_F(LanderSetupTest, GenericCockpitShowsTheSelectedView) {
    sim::Vessel* carrier = new_carrier("Carrier-7");
    sim::Vessel* v = create("Lander", "quor_tevlan");
    quor_tevlan* l = lander_of(v);
    const std::string attach_here = lander_setup::ptr_text(v->handle()) + ", 2";

    // From another vessel's cockpit into the lander's.
    world->attach_camera(carrier, CAMERA_MODE_COCKPIT);
    l->camera_view = 1;
    v->trace.enabled = true;
    world->attach_camera(v, CAMERA_MODE_COCKPIT);
    EXPECT_EQ(v->camera.offset.x, 1.9);
    EXPECT_EQ(v->camera.tilt_rad, 0.30019663134302466);
    EXPECT_EQ(world->camera.target, v);
    EXPECT_EQ(world->camera.mode, CAMERA_MODE_COCKPIT);
    ASSERT_EQ(v->trace.of("oapiCameraAttach").size(), 1u);  // keeps the mode: no reload
    EXPECT_EQ(v->trace.of("oapiCameraAttach")[0].args, attach_here);

    // From the outside view of the lander into its cockpit.
    world->attach_camera(v, CAMERA_MODE_EXTERNAL);
    l->camera_view = 0;
    v->trace.clear();
    world->attach_camera(v, CAMERA_MODE_COCKPIT);
    EXPECT_EQ(v->camera.offset.x, 0.0);
    EXPECT_EQ(v->camera.offset.y, 0.8);
    EXPECT_EQ(v->camera.tilt_rad, 3.141592653589793);
    EXPECT_EQ(v->trace.ops(),
              (std::vector<std::string>{"SetCameraOffset", "SetCameraDefaultDirection",
                                        "oapiCameraAttach"}));
    EXPECT_EQ(world->camera.mode, CAMERA_MODE_COCKPIT);
    EXPECT_TRUE(l->clbkLoadGenericCockpit());
}
