// The vent hold at high time acceleration holds only a vent that was on: one the user had
// switched off is not "held", and stays off when time slows down again.
#include <cmath>

#include "support/pad_fixture.h"

TEST_F(PadTest, AVentThatIsOffIsNotHeldAndStaysOffWhenTimeSlowsAgain) {
    sim::Vessel* v = add_pad();
    b_tvm58& p = pad_of(v);
    for (double before : {0.0, 0.5}) {
        SCOPED_TRACE(before);
        v->iface->SetThrusterLevel(p.th_vent, before);
        world->clock.time_accel = std::nextafter(100.0, 1000.0);
        frame(v, 0.02);
        EXPECT_EQ(level(v, p.th_vent), 0.0);
        EXPECT_EQ(p.vent_held, before > 0 ? 1 : 0);
        world->clock.time_accel = 1.0;
        frame(v, 0.02);
        // A held vent comes back fully on; an unheld one stays off.
        EXPECT_EQ(level(v, p.th_vent), before > 0 ? 1.0 : 0.0);
        EXPECT_EQ(p.vent_held, 0);
        v->iface->SetThrusterLevel(p.th_vent, 0.0);
    }
}
