// The pad's scenario line (the umbilical's status and state), its tank refilled after loading,
// and its two keys: K switches the lights, V the vent.
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "b_tvm58.h"
#include "host/keys.h"
#include "host/oapi.h"

namespace {

constexpr const char* umbilical_keyword = "UMB";
constexpr std::size_t keyword_length = 3;
constexpr std::size_t value_buffer_size = 256;
constexpr const char* value_format = "%d %0.4f";

// The pair's saved value fits the buffer in full, so that it reads back as it is.
bool value_fits(int status, double state) {
    const int length = std::snprintf(nullptr, 0, value_format, status, state);
    return length >= 0 && static_cast<std::size_t>(length) < value_buffer_size;
}

// The line begins with the keyword, in any letter case.
bool begins_with_keyword(const char* line) {
    for (std::size_t i = 0; i < keyword_length; ++i)
        if (std::tolower(static_cast<unsigned char>(line[i])) !=
            std::tolower(static_cast<unsigned char>(umbilical_keyword[i])))
            return false;
    return true;
}

}  // namespace

void read_umbilical_line(const char* value, int& status, double& state) {
    // The status as "%d" reads it, refused beyond int.
    char* end = nullptr;
    errno = 0;
    long s = std::strtol(value, &end, 10);
    if (end == value || errno == ERANGE || s < INT_MIN || s > INT_MAX)
        return;
    // The state as "%lf" reads it. Each field is taken only as far as the saved value of the
    // pair still fits its buffer; a state too wide is refused, and a status too wide for the
    // state that stays with it is refused as well.
    double x = 0.0;
    if (std::sscanf(end, "%lf", &x) == 1 && std::isfinite(x) &&
        value_fits(static_cast<int>(s), x)) {
        status = static_cast<int>(s);
        state = x;
    } else if (value_fits(static_cast<int>(s), state)) {
        status = static_cast<int>(s);
    }
}

void b_tvm58::clbkSaveState(FILEHANDLE scn) {
    VESSEL2::clbkSaveState(scn);
    char value[value_buffer_size];
    std::snprintf(value, sizeof value, value_format, umb_status, umb_state);
    oapiWriteScenario_string(scn, umbilical_keyword, value);
}

void b_tvm58::clbkReadState(FILEHANDLE scn, void* status) {
    char* line = nullptr;
    while (oapiReadScenario_nextline(scn, line)) {
        if (begins_with_keyword(line))
            read_umbilical_line(line + keyword_length, umb_status, umb_state);
        else
            ParseScenarioLineEx(line, status);
    }
    SetAnimation(anim_umb, umb_state);
}

void b_tvm58::clbkAfterCreation() {
    SetPropellantMass(ph_tank, tank_kg);
}

int b_tvm58::clbkKeyEvent(DWORD key, bool down, char* kstate) {
    if (!down)
        return 0;
    if (kstate && KEYMOD_SHIFT(kstate))
        return 0;
    switch (key) {
        case OAPI_KEY_K:
            if (lights_off == 0 || lights_off == 1)
                lights_off = 1 - lights_off;
            return 1;
        case OAPI_KEY_V:
            SetThrusterLevel(th_vent, GetThrusterLevel(th_vent) < 1.0 ? 1.0 : 0.0);
            return 1;
        default:
            return 0;
    }
}
