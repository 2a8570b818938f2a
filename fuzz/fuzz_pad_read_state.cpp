// The pad's clbkReadState on arbitrary lines.
#include "launchpad/b_tvm58.h"
#include "read_state_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz::read_state<b_tvm58>("b_tvm58", data, size);
}
