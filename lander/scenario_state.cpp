// The lander's scenario lines. Saving writes eight keyword lines after the simulator's standard
// ones; loading takes those keywords (in any letter case, matched on their first letters) and
// hands every other line back to the simulator, then poses the mechanisms as loaded.
#include "scenario_state.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/oapi.h"
#include "quor_tevlan.h"

namespace scenario_state {

std::string encoded_name(const char* name) {
    std::string word = name;
    for (char& c : word)
        if (c == ' ')
            c = '+';
    return word;
}

void decode_name(char* name) {
    for (char* c = name; *c; ++c)
        if (*c == '+')
            *c = ' ';
}

value_reader& value_reader::next(int& value) {
    if (!next_)
        return *this;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(next_, &end, 10);
    if (end == next_ || errno == ERANGE || v < INT_MIN || v > INT_MAX) {
        next_ = nullptr;
        return *this;
    }
    value = static_cast<int>(v);
    next_ = end;
    return *this;
}

value_reader& value_reader::next(double& value) {
    if (!next_)
        return *this;
    // The scan function itself, which reads some texts otherwise than strtod: it refuses a bare
    // "0x" where strtod takes the 0.
    double v = 0.0;
    int used = 0;
    if (std::sscanf(next_, "%lf%n", &v, &used) != 1 || !std::isfinite(v)) {
        next_ = nullptr;
        return *this;
    }
    value = v;
    next_ += used;
    return *this;
}

value_reader& value_reader::next_word(char* word, std::size_t capacity) {
    if (!next_)
        return *this;
    auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (blank(*next_)) ++next_;
    if (*next_ == '\0' || capacity == 0) {
        next_ = nullptr;
        return *this;
    }
    std::size_t n = 0;
    for (; *next_ && !blank(*next_); ++next_)
        if (n + 1 < capacity)
            word[n++] = *next_;
    word[n] = '\0';
    return *this;
}

}  // namespace scenario_state

namespace {

using scenario_state::value_reader;

// A mechanism's line: its status and animation state.
struct mechanism_line {
    const char* key;
    int quor_tevlan::*status;
    double quor_tevlan::*state;
};

// In the order the lines are written and the keys are tried.
constexpr mechanism_line mechanism_lines[] = {
    {"ANT", &quor_tevlan::ant_status, &quor_tevlan::ant_state},
    {"MET", &quor_tevlan::met_status, &quor_tevlan::met_state},
    {"ARM", &quor_tevlan::arm_status, &quor_tevlan::arm_state},
    {"LEG", &quor_tevlan::leg_status, &quor_tevlan::leg_state},
};

// The line begins with the key, in any letter case; whatever follows belongs to the value.
bool begins_with_key(const char* line, const char* key) {
    for (; *key; ++line, ++key)
        if (std::tolower(static_cast<unsigned char>(*line)) !=
            std::tolower(static_cast<unsigned char>(*key)))
            return false;
    return true;
}

// Reads the line if it is one of the lander's; false when it belongs to the simulator.
bool read_own_line(quor_tevlan& l, const char* line) {
    for (const mechanism_line& m : mechanism_lines)
        if (begins_with_key(line, m.key)) {
            value_reader(line + std::strlen(m.key)).next(l.*m.status).next(l.*m.state);
            return true;
        }
    if (begins_with_key(line, "AUTP")) {
        value_reader(line + 4).next(l.autopilot_phase);
    } else if (begins_with_key(line, "KEYS")) {
        value_reader(line + 4)
            .next(l.key_g_sent)
            .next(l.key_j_sent)
            .next(l.key_k_sent)
            .next(l.key_u_sent);
    } else if (begins_with_key(line, "MTHR")) {
        value_reader(line + 4).next_word(l.mother_name, sizeof l.mother_name);
    } else if (begins_with_key(line, "PUSH")) {
        value_reader(line + 4).next(l.mother_pushed);
    } else {
        return false;
    }
    return true;
}

void write_int(FILEHANDLE scn, const char* key, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    oapiWriteScenario_string(scn, key, text);
}

}  // namespace

void quor_tevlan::clbkSaveState(FILEHANDLE scn) {
    VESSEL3::clbkSaveState(scn);
    // Room for any int and any double in fixed-point notation.
    char text[400];
    for (const mechanism_line& m : mechanism_lines) {
        std::snprintf(text, sizeof text, "%d %0.4f", this->*m.status, this->*m.state);
        oapiWriteScenario_string(scn, m.key, text);
    }
    write_int(scn, "AUTP", autopilot_phase);
    std::snprintf(text, sizeof text, "%d %d %d %d", key_g_sent, key_j_sent, key_k_sent, key_u_sent);
    oapiWriteScenario_string(scn, "KEYS", text);
    oapiWriteScenario_string(scn, "MTHR", scenario_state::encoded_name(mother_name).c_str());
    write_int(scn, "PUSH", mother_pushed);
}

void quor_tevlan::clbkReadState(FILEHANDLE scn, void* status) {
    char* line = nullptr;
    while (oapiReadScenario_nextline(scn, line))
        if (!read_own_line(*this, line))
            ParseScenarioLineEx(line, status);
    scenario_state::decode_name(mother_name);
    SetAnimation(anim_ant, ant_state);
    SetAnimation(anim_met, met_state);
    SetAnimation(anim_arm, arm_state);
    SetAnimation(anim_leg, leg_state);
}
