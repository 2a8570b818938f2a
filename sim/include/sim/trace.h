// The call trace of a vessel: every simulator operation its module calls, with its arguments
// written out, so that tests can check orders and values. Off by default.
#pragma once

#include <string>
#include <vector>

#include "host/math_types.h"
#include "sim/export.h"

namespace sim {
SIM_API_BEGIN

struct TraceEntry {
    std::string op;    // operation name, e.g. "SetCW"
    std::string args;  // arguments, comma separated, e.g. "1, 1, 1, 1"
};

class Trace {
  public:
    bool enabled = false;
    std::vector<TraceEntry> entries;

    void clear() { entries.clear(); }
    // The operation names in call order.
    std::vector<std::string> ops() const;
    // Entries of one operation, in call order.
    std::vector<TraceEntry> of(const std::string& op) const;

    template <typename... Args>
    void record(const char* op, const Args&... args) {
        if (!enabled)
            return;
        std::string text;
        (append(text, args), ...);
        entries.push_back({op, text});
    }

  private:
    static void separate(std::string& text) {
        if (!text.empty())
            text += ", ";
    }
    static void append(std::string& text, double v);
    static void append(std::string& text, int v);
    static void append(std::string& text, unsigned v);
    static void append(std::string& text, bool v);
    static void append(std::string& text, const char* v);
    static void append(std::string& text, const std::string& v);
    static void append(std::string& text, const VECTOR3& v);
    static void append(std::string& text, const void* v);
};

SIM_API_END
}  // namespace sim
