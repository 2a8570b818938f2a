// Text from files and modules, made safe to show on a terminal: a control byte (other than a
// tab) is written as \xHH, so that a name or a line cannot move the cursor, clear the screen or
// change the terminal's colours.
#pragma once

#include <string>
#include <string_view>

namespace app {

inline std::string terminal_text(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t') || u == 0x7f) {
            constexpr char kHex[] = "0123456789abcdef";
            out += "\\x";
            out += kHex[u >> 4];
            out += kHex[u & 15];
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace app
