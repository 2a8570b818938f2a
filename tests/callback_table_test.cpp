// The callback table's slot order is part of the interface between the simulator and the
// modules: a module built against it must find each callback in its slot, counted from 0.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <type_traits>

#include "host/vessel.h"
#include "lander/quor_tevlan.h"

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

using V2 = VESSEL2;
using V3 = VESSEL3;

}  // namespace

// No destructor entry comes before the callbacks: the base classes' destructors are protected
// and not virtual, so a vessel is destroyed only as its own class.
static_assert(!std::is_destructible_v<VESSEL> && !std::is_destructible_v<VESSEL2> &&
              !std::is_destructible_v<VESSEL3> && std::is_destructible_v<quor_tevlan>);

TEST(CallbackTable, EveryCallbackIsInItsSlotFromZero) {
    EXPECT_EQ(slot_of(&V2::clbkClassSetup), 0);
    EXPECT_EQ(slot_of(&V2::clbkSaveState), 1);
    EXPECT_EQ(slot_of(&V2::clbkReadState), 2);
    EXPECT_EQ(slot_of(&V2::clbkSetStateEx), 3);
    EXPECT_EQ(slot_of(&V2::clbkAfterCreation), 4);
    EXPECT_EQ(slot_of(&V2::clbkFocusChanged), 5);
    EXPECT_EQ(slot_of(&V2::clbkBeforeStep), 6);
    EXPECT_EQ(slot_of(&V2::clbkPostStep), 7);
    EXPECT_EQ(slot_of(&V2::clbkPlaybackEvent), 8);
    EXPECT_EQ(slot_of(&V2::clbkVisualCreated), 9);
    EXPECT_EQ(slot_of(&V2::clbkVisualDestroyed), 10);
    EXPECT_EQ(slot_of(static_cast<void (V2::*)(int, const HUDPAINTSPEC*, HDC)>(&V2::clbkDrawHUD)),
              11);
    EXPECT_EQ(slot_of(&V2::clbkRCSMode), 12);
    EXPECT_EQ(slot_of(&V2::clbkADCtrlMode), 13);
    EXPECT_EQ(slot_of(&V2::clbkHUDMode), 14);
    EXPECT_EQ(slot_of(&V2::clbkMFDMode), 15);
    EXPECT_EQ(slot_of(&V2::clbkNavMode), 16);
    EXPECT_EQ(slot_of(&V2::clbkDockEvent), 17);
    EXPECT_EQ(slot_of(&V2::clbkAnimate), 18);
    EXPECT_EQ(slot_of(&V2::clbkConsumeDirectKey), 19);
    EXPECT_EQ(slot_of(&V2::clbkKeyEvent), 20);
    EXPECT_EQ(slot_of(&V2::clbkLoadGenericCockpit), 21);
    EXPECT_EQ(slot_of(&V2::clbkLoadPanel), 22);
    EXPECT_EQ(slot_of(static_cast<bool (V2::*)(int, int, int, int)>(&V2::clbkPanelMouseEvent)), 23);
    EXPECT_EQ(slot_of(static_cast<bool (V2::*)(int, int, SURFHANDLE)>(&V2::clbkPanelRedrawEvent)),
              24);
    EXPECT_EQ(slot_of(&V2::clbkLoadVC), 25);
    EXPECT_EQ(slot_of(&V2::clbkVCMouseEvent), 26);
    EXPECT_EQ(slot_of(&V2::clbkVCRedrawEvent), 27);
    EXPECT_EQ(
        slot_of(static_cast<bool (V3::*)(int, int, int, int, void*)>(&V3::clbkPanelMouseEvent)),
        28);
    EXPECT_EQ(
        slot_of(static_cast<bool (V3::*)(int, int, SURFHANDLE, void*)>(&V3::clbkPanelRedrawEvent)),
        29);
    EXPECT_EQ(slot_of(&V3::clbkGeneric), 30);
    EXPECT_EQ(slot_of(&V3::clbkLoadPanel2D), 31);
    EXPECT_EQ(slot_of(static_cast<bool (V3::*)(int, const HUDPAINTSPEC*, oapi::Sketchpad*)>(
                  &V3::clbkDrawHUD)),
              32);
    EXPECT_EQ(slot_of(&V3::clbkRenderHUD), 33);
    EXPECT_EQ(slot_of(&V3::clbkGetRadiationForce), 34);

    // The lander's overrides sit in the base's slots.
    using L = quor_tevlan;
    EXPECT_EQ(slot_of(&L::clbkClassSetup), 0);
    EXPECT_EQ(slot_of(&L::clbkSaveState), 1);
    EXPECT_EQ(slot_of(&L::clbkReadState), 2);
    EXPECT_EQ(slot_of(&L::clbkAfterCreation), 4);
    EXPECT_EQ(slot_of(&L::clbkBeforeStep), 6);
    EXPECT_EQ(slot_of(&L::clbkKeyEvent), 20);
    EXPECT_EQ(slot_of(&L::clbkLoadGenericCockpit), 21);
    EXPECT_EQ(slot_of(static_cast<bool (L::*)(int, const HUDPAINTSPEC*, oapi::Sketchpad*)>(
                  &L::clbkDrawHUD)),
              32);
}
