// Small helpers that write JSON text into a string: numbers rounded to what the replay needs,
// strings escaped so that the text can sit inside an HTML script element.
#pragma once

#include <cmath>
#include <cstdio>
#include <string>

#include "host/math_types.h"

namespace sim::json {

// A number with at most `decimals` decimals, trailing zeros dropped; null when not finite.
inline void num(std::string& out, double x, int decimals = 4) {
    if (!std::isfinite(x)) {
        out += "null";
        return;
    }
    char buf[64];
    int n = std::snprintf(buf, sizeof buf, "%.*f", decimals, x);
    if (n <= 0 || n >= int(sizeof buf)) {
        out += "0";
        return;
    }
    if (decimals > 0) {
        while (n > 1 && buf[n - 1] == '0') --n;
        if (buf[n - 1] == '.')
            --n;
    }
    std::string s(buf, n);
    if (s == "-0")
        s = "0";
    out += s;
}

inline void vec(std::string& out, const VECTOR3& v, int decimals = 4) {
    out += '[';
    num(out, v.x, decimals);
    out += ',';
    num(out, v.y, decimals);
    out += ',';
    num(out, v.z, decimals);
    out += ']';
}

// A JSON string. "<" is written as \u003c, so that no "</script" can end the element early.
inline void str(std::string& out, const std::string& s) {
    out += '"';
    for (unsigned char c : s) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '<':
                out += "\\u003c";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += char(c);
                }
        }
    }
    out += '"';
}

}  // namespace sim::json
