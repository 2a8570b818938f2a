// The lander's clbkReadState on arbitrary lines.
#include "lander/quor_tevlan.h"
#include "read_state_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz::read_state<quor_tevlan>("quor_tevlan", data, size);
}
