#include "sim/trace.h"

#include <charconv>
#include <cstdio>

namespace sim {

std::string format_double(double v) {
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

std::string format_fixed(double v, int decimals) {
    int n = std::snprintf(nullptr, 0, "%.*f", decimals, v);
    std::string text(static_cast<std::size_t>(n), '\0');
    std::snprintf(text.data(), text.size() + 1, "%.*f", decimals, v);
    return text;
}

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
