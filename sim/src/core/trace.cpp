#include "sim/trace.h"

#include <cstdio>

#include "sim/number_text.h"

namespace sim {

std::vector<std::string> Trace::ops() const {
    std::vector<std::string> out;
    out.reserve(entries.size());
    for (const auto& e : entries) out.push_back(e.op);
    return out;
}

std::vector<TraceEntry> Trace::of(const std::string& op) const {
    std::vector<TraceEntry> out;
    for (const auto& e : entries)
        if (e.op == op)
            out.push_back(e);
    return out;
}

void Trace::append(std::string& text, double v) {
    separate(text);
    text += format_double(v);
}
void Trace::append(std::string& text, int v) {
    separate(text);
    text += std::to_string(v);
}
void Trace::append(std::string& text, unsigned v) {
    separate(text);
    text += std::to_string(v);
}
void Trace::append(std::string& text, bool v) {
    separate(text);
    text += v ? "true" : "false";
}
void Trace::append(std::string& text, const char* v) {
    separate(text);
    if (!v) {
        text += "null";
        return;
    }
    text += '"';
    text += v;
    text += '"';
}
void Trace::append(std::string& text, const std::string& v) {
    append(text, v.c_str());
}
void Trace::append(std::string& text, const VECTOR3& v) {
    separate(text);
    text += '(';
    text += format_double(v.x);
    text += ", ";
    text += format_double(v.y);
    text += ", ";
    text += format_double(v.z);
    text += ')';
}
void Trace::append(std::string& text, const void* v) {
    separate(text);
    if (!v) {
        text += "null";
        return;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%p", v);
    text += buf;
}

}  // namespace sim
