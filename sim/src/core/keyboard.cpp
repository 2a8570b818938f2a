#include "sim/keyboard.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "host/keys.h"
#include "sim/vessel.h"
#include "sim/world.h"

namespace sim {

namespace {

// Scan codes (set 1) of the letter and digit keys.
constexpr const char* kLetterRows[] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
constexpr DWORD kLetterRowStart[] = {0x10, 0x1E, 0x2C};
constexpr const char* kDigits = "1234567890";
constexpr DWORD kDigitStart = 0x02;

bool letter_code(char c, DWORD& code) {
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (int row = 0; row < 3; ++row)
        for (const char* p = kLetterRows[row]; *p; ++p)
            if (*p == c) {
                code = kLetterRowStart[row] + DWORD(p - kLetterRows[row]);
                return true;
            }
    for (const char* p = kDigits; *p; ++p)
        if (*p == c) {
            code = kDigitStart + DWORD(p - kDigits);
            return true;
        }
    return false;
}

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

bool parse_key(const std::string& text, KeyPress& key) {
    KeyPress k;
    std::size_t start = 0;
    bool have_key = false;
    while (start <= text.size()) {
        std::size_t plus = text.find('+', start);
        std::string part =
            upper(text.substr(start, plus == std::string::npos ? std::string::npos : plus - start));
        bool last = plus == std::string::npos;
        if (!last) {
            if (part == "CTRL")
                k.ctrl = true;
            else if (part == "SHIFT")
                k.shift = true;
            else if (part == "ALT")
                k.alt = true;
            else
                return false;
            start = plus + 1;
            continue;
        }
        if (part.size() == 1 && letter_code(part[0], k.code))
            have_key = true;
        break;
    }
    if (!have_key)
        return false;
    key = k;
    return true;
}

std::string key_name(DWORD code) {
    for (int row = 0; row < 3; ++row) {
        DWORD len = DWORD(std::char_traits<char>::length(kLetterRows[row]));
        if (code >= kLetterRowStart[row] && code < kLetterRowStart[row] + len)
            return std::string(1, kLetterRows[row][code - kLetterRowStart[row]]);
    }
    if (code >= kDigitStart && code < kDigitStart + 10)
        return std::string(1, kDigits[code - kDigitStart]);
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%02X", static_cast<unsigned>(code));
    return buf;
}

std::array<char, 256> keyboard_state(const KeyPress& key) {
    std::array<char, 256> state{};
    auto hold = [&](DWORD code) { state[code] = static_cast<char>(0x80); };
    if (key.ctrl)
        hold(OAPI_KEY_LCONTROL);
    if (key.shift)
        hold(OAPI_KEY_LSHIFT);
    if (key.alt)
        hold(OAPI_KEY_LALT);
    if (key.code < state.size())
        hold(key.code);
    return state;
}

int deliver_key(Vessel& v, DWORD key, bool down, char* kstate) {
    VESSEL2* cb = v.callbacks();
    if (!cb)
        return 0;
    std::array<char, 256> none{};
    World* w = World::current();
    if (!w)
        return cb->clbkKeyEvent(key, down, kstate ? kstate : none.data());
    return call_module(*w, v, "clbkKeyEvent",
                       [&] { return cb->clbkKeyEvent(key, down, kstate ? kstate : none.data()); });
}

}  // namespace sim
