// The pad's clbkKeyEvent on arbitrary key codes, press flags and keyboard states.
#include "key_events_target.h"
#include "launchpad/b_tvm58.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz::key_events<b_tvm58>("b_tvm58", data, size);
}
