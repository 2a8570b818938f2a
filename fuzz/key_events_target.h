// A module's clbkKeyEvent on arbitrary key codes, press flags and keyboard states. The input is a
// keyboard state (its first 256 bytes, missing bytes up) followed by 5-byte events: a key code
// (4 bytes, little-endian) and a flag byte (bit 0 pressed, bit 1 no keyboard state). A target for
// another module is this call with its class.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_world.h"
#include "host/keys.h"

namespace fuzz {

template <typename V>
int key_events(const char* class_name, const std::uint8_t* data, std::size_t size) {
    std::array<char, OAPI_KEY_STATE_SIZE> kstate{};
    std::size_t state_bytes = size < kstate.size() ? size : kstate.size();
    std::memcpy(kstate.data(), data, state_bytes);
    sim::World w(kNoModules);
    register_class<V>(w, class_name);
    std::string error;
    sim::Vessel* v = w.create_vessel("Fuzzed", class_name, error);
    if (!v || !v->callbacks())
        __builtin_trap();
    w.finish_creation();
    sim::CallbackScope scope(w, v);
    for (std::size_t i = state_bytes; i + 5 <= size; i += 5) {
        DWORD key = static_cast<DWORD>(data[i]) | static_cast<DWORD>(data[i + 1]) << 8 |
                    static_cast<DWORD>(data[i + 2]) << 16 | static_cast<DWORD>(data[i + 3]) << 24;
        bool down = data[i + 4] & 1;
        char* held = data[i + 4] & 2 ? nullptr : kstate.data();
        v->callbacks()->clbkKeyEvent(key, down, held);
    }
    return 0;
}

}  // namespace fuzz
