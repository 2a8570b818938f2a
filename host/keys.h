// Key codes: PC keyboard scan codes (set 1), 0x80 added for the right-hand Ctrl and Alt keys.
// A key is held when bit 0x80 of its byte in the keyboard-state array is set.
#pragma once

#include "handles.h"

constexpr DWORD OAPI_KEY_U = 0x16;
constexpr DWORD OAPI_KEY_P = 0x19;
constexpr DWORD OAPI_KEY_G = 0x22;
constexpr DWORD OAPI_KEY_J = 0x24;
constexpr DWORD OAPI_KEY_K = 0x25;
constexpr DWORD OAPI_KEY_L = 0x26;
constexpr DWORD OAPI_KEY_C = 0x2E;
constexpr DWORD OAPI_KEY_V = 0x2F;
constexpr DWORD OAPI_KEY_LCONTROL = 0x1D;
constexpr DWORD OAPI_KEY_RCONTROL = 0x9D;
constexpr DWORD OAPI_KEY_LSHIFT = 0x2A;
constexpr DWORD OAPI_KEY_RSHIFT = 0x36;
constexpr DWORD OAPI_KEY_LALT = 0x38;
constexpr DWORD OAPI_KEY_RALT = 0xB8;

// Size of the keyboard-state array: one byte per key code.
constexpr DWORD OAPI_KEY_STATE_SIZE = 256;

inline bool KEYDOWN(const char* kstate, DWORD key) {
    return key < OAPI_KEY_STATE_SIZE && (static_cast<unsigned char>(kstate[key]) & 0x80) != 0;
}
inline bool KEYMOD_CONTROL(const char* k) {
    return KEYDOWN(k, OAPI_KEY_LCONTROL) || KEYDOWN(k, OAPI_KEY_RCONTROL);
}
inline bool KEYMOD_SHIFT(const char* k) {
    return KEYDOWN(k, OAPI_KEY_LSHIFT) || KEYDOWN(k, OAPI_KEY_RSHIFT);
}
inline bool KEYMOD_ALT(const char* k) {
    return KEYDOWN(k, OAPI_KEY_LALT) || KEYDOWN(k, OAPI_KEY_RALT);
}
