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

TEST(CallbackTable, SlotsFollowTheInterfaceOrder) {
    EXPECT_EQ(slot_of(&VESSEL2::clbkClassSetup), 0);
    EXPECT_EQ(slot_of(&VESSEL2::clbkSaveState), 1);
    EXPECT_EQ(slot_of(&VESSEL2::clbkReadState), 2);
    EXPECT_EQ(slot_of(&VESSEL2::clbkSetStateEx), 3);
    EXPECT_EQ(slot_of(&VESSEL2::clbkAfterCreation), 4);
    EXPECT_EQ(slot_of(&VESSEL2::clbkBeforeStep), 6);
    EXPECT_EQ(slot_of(&VESSEL2::clbkPostStep), 7);
    EXPECT_EQ(slot_of(static_cast<void (VESSEL2::*)(int, const HUDPAINTSPEC*, HDC)>(
                  &VESSEL2::clbkDrawHUD)),
              11);
    EXPECT_EQ(slot_of(&VESSEL2::clbkKeyEvent), 20);
    EXPECT_EQ(slot_of(&VESSEL2::clbkLoadGenericCockpit), 21);
    EXPECT_EQ(slot_of(&VESSEL2::clbkVCRedrawEvent), 27);
    EXPECT_EQ(slot_of(static_cast<bool (VESSEL3::*)(int, int, int, int, void*)>(
                  &VESSEL3::clbkPanelMouseEvent)),
              28);
    EXPECT_EQ(slot_of(&VESSEL3::clbkGeneric), 30);
    EXPECT_EQ(slot_of(static_cast<bool (VESSEL3::*)(int, const HUDPAINTSPEC*, oapi::Sketchpad*)>(
                  &VESSEL3::clbkDrawHUD)),
              32);
    EXPECT_EQ(slot_of(&VESSEL3::clbkGetRadiationForce), 34);
}
