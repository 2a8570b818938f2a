// Keys as a user types them ("Ctrl+J") and their delivery to a vessel's key callback.
#pragma once

#include <array>
#include <string>

#include "host/handles.h"
#include "sim/export.h"

namespace sim {
SIM_API_BEGIN

class Vessel;

struct KeyPress {
    DWORD code = 0;
    bool ctrl = false, shift = false, alt = false;
};

// Parses "P", "Ctrl+J", "Shift+K", "Alt+C", "Ctrl+Shift+G" (case-insensitive). False when the
// text names no key.
bool parse_key(const std::string& text, KeyPress& key);

// The key's letter or name, e.g. "J" for 0x24; "0x..." for keys without a name.
std::string key_name(DWORD code);

// Keyboard state with the press's modifiers held: one byte per key code.
std::array<char, 256> keyboard_state(const KeyPress& key);

// Calls the vessel's key callback. A missing keyboard state is given as all keys up. Returns the
// callback's answer, 0 when the vessel has no callback table.
int deliver_key(Vessel& v, DWORD key, bool down, char* kstate);

SIM_API_END
}  // namespace sim
