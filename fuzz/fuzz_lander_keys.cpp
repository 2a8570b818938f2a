// The lander's clbkKeyEvent on arbitrary key codes, press flags and keyboard states.
#include "key_events_target.h"
#include "lander/quor_tevlan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz::key_events<quor_tevlan>("quor_tevlan", data, size);
}
