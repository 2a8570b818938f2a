// Key codes: PC keyboard scan codes (set 1), 0x80 added for the right-hand Ctrl and Alt keys.
// A key is held when bit 0x80 of its byte in the keyboard-state array is set.
#pragma once

#include "handles.h"

// The letter and digit keys, every key `vesselsim run --key` can press.
constexpr DWORD OAPI_KEY_Q = 0x10;
constexpr DWORD OAPI_KEY_W = 0x11;
constexpr DWORD OAPI_KEY_E = 0x12;
constexpr DWORD OAPI_KEY_R = 0x13;
constexpr DWORD OAPI_KEY_T = 0x14;
constexpr DWORD OAPI_KEY_Y = 0x15;
constexpr DWORD OAPI_KEY_U = 0x16;
constexpr DWORD OAPI_KEY_I = 0x17;
constexpr DWORD OAPI_KEY_O = 0x18;
constexpr DWORD OAPI_KEY_P = 0x19;
constexpr DWORD OAPI_KEY_A = 0x1E;
constexpr DWORD OAPI_KEY_S = 0x1F;
constexpr DWORD OAPI_KEY_D = 0x20;
constexpr DWORD OAPI_KEY_F = 0x21;
constexpr DWORD OAPI_KEY_G = 0x22;
constexpr DWORD OAPI_KEY_H = 0x23;
constexpr DWORD OAPI_KEY_J = 0x24;
constexpr DWORD OAPI_KEY_K = 0x25;
constexpr DWORD OAPI_KEY_L = 0x26;
constexpr DWORD OAPI_KEY_Z = 0x2C;
constexpr DWORD OAPI_KEY_X = 0x2D;
constexpr DWORD OAPI_KEY_C = 0x2E;
constexpr DWORD OAPI_KEY_V = 0x2F;
constexpr DWORD OAPI_KEY_B = 0x30;
constexpr DWORD OAPI_KEY_N = 0x31;
constexpr DWORD OAPI_KEY_M = 0x32;
constexpr DWORD OAPI_KEY_1 = 0x02;
constexpr DWORD OAPI_KEY_2 = 0x03;
constexpr DWORD OAPI_KEY_3 = 0x04;
constexpr DWORD OAPI_KEY_4 = 0x05;
constexpr DWORD OAPI_KEY_5 = 0x06;
constexpr DWORD OAPI_KEY_6 = 0x07;
constexpr DWORD OAPI_KEY_7 = 0x08;
constexpr DWORD OAPI_KEY_8 = 0x09;
constexpr DWORD OAPI_KEY_9 = 0x0A;
constexpr DWORD OAPI_KEY_0 = 0x0B;
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
