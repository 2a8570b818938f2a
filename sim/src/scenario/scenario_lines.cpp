// Scenario lines as modules see them: their block handed out line by line, their own lines
// written back, and the base callbacks that read, save and apply the standard state.
#include <cstring>

#include "host/oapi.h"
#include "host/vessel.h"
#include "host_api/argument_checks.h"
#include "host_api/vessel_access.h"
#include "scenario_standard.h"
#include "sim/scenario_block.h"
#include "sim/text_file.h"
#include "sim/world.h"

bool oapiReadScenario_nextline(FILEHANDLE scn, char*& line) {
    auto* block = static_cast<sim::ScenarioReadBlock*>(scn);
    if (!block || block->next >= block->lines.size())
        return false;
    const std::string& text = block->lines[block->next++];
    block->buffer.assign(text.begin(), text.end());
    block->buffer.push_back('\0');
    line = block->buffer.data();
    return true;
}

namespace {

// Why a module's line would not read back as it was written, or "" when it would: the item is
// one word, and neither it nor the value breaks the line or makes it longer than a line read.
std::string unreadable_line(const char* item, const char* value) {
    if (!item || !*item)
        return "the item is null or empty";
    for (const char* c = item; *c; ++c)
        if (*c == ' ' || *c == '\t' || *c == '\n' || *c == '\r')
            return "the item \"" + std::string(item, std::size_t(c - item)) +
                   "...\" holds a blank or a line break";
    for (const char* c = value; *c; ++c)
        if (*c == '\n' || *c == '\r')
            return std::string("the value of ") + item + " holds a line break";
    // As written: two blanks, the item, a blank and the value.
    if (2 + std::strlen(item) + 1 + std::strlen(value) > sim::kMaxLineBytes)
        return std::string("the line of ") + item + " is longer than " +
               std::to_string(sim::kMaxLineBytes) + " characters";
    return "";
}

}  // namespace

void oapiWriteScenario_string(FILEHANDLE scn, const char* item, const char* string) {
    auto* block = static_cast<sim::ScenarioWriteBlock*>(scn);
    if (!block)
        return;
    const char* value = string ? string : "";
    // A line that would not read back is not written: the file stays readable.
    if (std::string why = unreadable_line(item, value); !why.empty()) {
        constexpr const char* kOperation = "oapiWriteScenario_string";
        if (block->vessel)
            sim::warn_argument(*block->vessel, kOperation,
                               [&] { return why + "; the line is not written"; });
        else if (auto* w = sim::World::current())
            w->warn(std::string(kOperation) + ": " + why + "; the line is not written");
        return;
    }
    block->items.emplace_back(item, value);
}

void VESSEL::ParseScenarioLineEx(char* line, void* status) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("ParseScenarioLineEx", line);
    auto* pending = static_cast<sim::PendingStatus*>(status);
    if (!line || !pending)
        return;
    std::string error;
    sim::LineResult r = sim::parse_standard_line(v, line, *pending, error);
    if (r == sim::LineResult::parsed)
        return;
    // Messages name the file and line the block's reader handed out last.
    std::string where = pending->block ? pending->block->file + ":" +
                                             std::to_string(pending->block->current_line()) + ": "
                                       : std::string();
    if (r == sim::LineResult::malformed) {
        if (pending->error.empty())
            pending->error = where + v.name() + ": " + error;
    } else if (auto* w = sim::World::current()) {
        w->warn(where + v.name() + ": " + error);
    }
}

void VESSEL2::clbkReadState(FILEHANDLE scn, void* status) {
    char* line = nullptr;
    while (oapiReadScenario_nextline(scn, line)) ParseScenarioLineEx(line, status);
}

void VESSEL2::clbkSaveState(FILEHANDLE scn) {
    auto* block = static_cast<sim::ScenarioWriteBlock*>(scn);
    if (!block)
        return;
    block->standard_first = block->items.size();
    sim::write_standard_lines(sim::stand_in_of(this), *block);
    block->standard_end = block->items.size();
}

void VESSEL2::clbkSetStateEx(const void* status) {
    DefSetStateEx(status);
}
