// The callback table's slot order is part of the interface between the simulator and the
// modules: a module built against it must find each callback in its slot.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "host/vessel.h"

namespace {

// Slot of a virtual member function under the Itanium C++ ABI: the pointer-to-member holds
// 1 + the byte offset into the virtual table.
template <typename F>
long slot_of(F f) {
    static_assert(sizeof(F) == 2 * sizeof(std::ptrdiff_t));
    std::ptrdiff_t raw[2];
    std::memcpy(raw, &f, sizeof raw);
    return static_cast<long>((raw[0] - 1) / static_cast<std::ptrdiff_t>(sizeof(void*)));
}

}  // namespace

// VESSEL's virtual destructor takes the first two entries (the complete and the deleting
// destructor); the callbacks follow it in the interface order.
TEST(CallbackTable, SlotsFollowTheInterfaceOrder) {
    constexpr long k = 2;
    EXPECT_EQ(slot_of(&VESSEL2::clbkClassSetup), k + 0);
    EXPECT_EQ(slot_of(&VESSEL2::clbkSaveState), k + 1);
    EXPECT_EQ(slot_of(&VESSEL2::clbkReadState), k + 2);
    EXPECT_EQ(slot_of(&VESSEL2::clbkSetStateEx), k + 3);
    EXPECT_EQ(slot_of(&VESSEL2::clbkAfterCreation), k + 4);
    EXPECT_EQ(slot_of(&VESSEL2::clbkBeforeStep), k + 6);
    EXPECT_EQ(slot_of(&VESSEL2::clbkPostStep), k + 7);
    EXPECT_EQ(slot_of(static_cast<void (VESSEL2::*)(int, const HUDPAINTSPEC*, HDC)>(
                  &VESSEL2::clbkDrawHUD)),
              k + 11);
    EXPECT_EQ(slot_of(&VESSEL2::clbkKeyEvent), k + 20);
    EXPECT_EQ(slot_of(&VESSEL2::clbkLoadGenericCockpit), k + 21);
    EXPECT_EQ(slot_of(&VESSEL2::clbkVCRedrawEvent), k + 27);
    EXPECT_EQ(slot_of(static_cast<bool (VESSEL3::*)(int, int, int, int, void*)>(
                  &VESSEL3::clbkPanelMouseEvent)),
              k + 28);
    EXPECT_EQ(slot_of(&VESSEL3::clbkGeneric), k + 30);
    EXPECT_EQ(slot_of(static_cast<bool (VESSEL3::*)(int, const HUDPAINTSPEC*, oapi::Sketchpad*)>(
                  &VESSEL3::clbkDrawHUD)),
              k + 32);
    EXPECT_EQ(slot_of(&VESSEL3::clbkGetRadiationForce), k + 34);
}

namespace {

struct Counted : VESSEL2 {
    explicit Counted(int& destroyed) : VESSEL2(nullptr), destroyed_(destroyed) {}
    ~Counted() override { ++destroyed_; }
    int& destroyed_;
};

}  // namespace

// A module may delete its own class through the base: the whole object goes.
TEST(CallbackTable, AVesselDeletedThroughItsBaseRunsItsOwnDestructor) {
    int destroyed = 0;
    VESSEL* v = new Counted(destroyed);
    delete v;
    EXPECT_EQ(destroyed, 1);
}
