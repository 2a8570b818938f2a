// Reading a scenario file into a world. The whole file is split into its sections first, so
// that a broken structure is reported before any module is loaded; then the environment is set,
// the vessels are created and read, their states applied, the attachments made, the focus set
// and the after-creation callbacks run.
#include <charconv>
#include <cmath>
#include <memory>
#include <sstream>

#include "scenario_placement.h"
#include "scenario_standard.h"
#include "scenario_text.h"
#include "sim/attachments.h"
#include "sim/clock_limits.h"
#include "sim/number_text.h"
#include "sim/physics.h"
#include "sim/placement.h"
#include "sim/scenario.h"
#include "sim/text_file.h"
#include "sim/trace.h"
#include "sim/world.h"

namespace sim {

namespace {

constexpr double kMaxWind_m_s = 1000.0;
constexpr double kMaxElevation_m = 100e3;  // ten times the relief of any planet's ground

struct Line {
    int number = 0;
    std::string text;
};

struct ShipBlock {
    int header_line = 0;
    std::string name, class_name;
    std::vector<Line> lines;
};

struct Sections {
    ScenarioInfo info;
    std::vector<Line> environment;
    std::vector<Line> focus;
    std::vector<ShipBlock> ships;
};

// One vessel while it loads: the block its module reads and the state it describes.
struct VesselLoad {
    Vessel* vessel = nullptr;
    ScenarioReadBlock block;
    PendingStatus pending;
};

bool skipped(const std::string& trimmed) {
    return trimmed.empty() || trimmed[0] == ';';
}

class Reader {
  public:
    Reader(World& w, std::string file) : w_(w), file_(std::move(file)) {}

    bool load(const std::string& text, ScenarioInfo* info) {
        Sections s;
        if (!split(text, s) || !apply_environment(s.environment))
            return false;
        if (!create_and_read(s.ships) || !apply_states() || !make_attachments() ||
            !set_focus(s.focus)) {
            discard_vessels();
            return false;
        }
        w_.finish_creation();
        if (info)
            *info = s.info;
        return true;
    }

    const std::string& error() const { return error_; }

  private:
    World& w_;
    std::string file_;
    std::string error_;
    std::vector<std::unique_ptr<VesselLoad>> loads_;

    bool fail(int line, const std::string& what) {
        error_ = file_ + ":" + std::to_string(line) + ": " + what;
        return false;
    }
    void warn(int line, const std::string& what) {
        w_.warn(file_ + ":" + std::to_string(line) + ": " + what);
    }

    // The file's sections, each up to its END_ line.
    bool split(const std::string& text, Sections& s) {
        std::vector<Line> all;
        std::istringstream in(text);
        int number = 0;
        for (std::string l; std::getline(in, l);) {
            if (l.size() > kMaxLineBytes)
                return fail(number + 1,
                            "a line longer than " + std::to_string(kMaxLineBytes) + " characters");
            all.push_back({++number, l});
        }
        for (std::size_t i = 0; i < all.size(); ++i) {
            std::string t = trim(all[i].text);
            if (skipped(t))
                continue;
            if (t.rfind("BEGIN_", 0) != 0)
                return fail(all[i].number, "expected BEGIN_<SECTION>, got '" + excerpt(t) + "'");
            std::string section = t.substr(6), end = "END_" + section;
            std::vector<Line> body;
            std::size_t j = i + 1;
            for (; j < all.size() && trim(all[j].text) != end; ++j) {
                std::string bt = trim(all[j].text);
                if (section == "DESC")
                    body.push_back(all[j]);
                else if (!skipped(bt))
                    body.push_back({all[j].number, bt});
            }
            if (j == all.size())
                return fail(all[i].number, excerpt(t) + " has no " + excerpt(end));
            if (section == "DESC") {
                for (const Line& l : body) s.info.description += l.text + "\n";
            } else if (section == "ENVIRONMENT") {
                s.environment.insert(s.environment.end(), body.begin(), body.end());
            } else if (section == "FOCUS") {
                s.focus.insert(s.focus.end(), body.begin(), body.end());
            } else if (section == "SHIPS") {
                if (!split_ships(body, s.ships))
                    return false;
            } else {
                warn(all[i].number, "section " + section + " is not used by the stand-in");
            }
            i = j;
        }
        for (const Line& l : s.environment) {
            auto w = split_words(l.text);
            if (w.size() == 2 && w[0] == "System")
                s.info.system = w[1];
        }
        return true;
    }

    bool split_ships(const std::vector<Line>& body, std::vector<ShipBlock>& ships) {
        for (std::size_t i = 0; i < body.size(); ++i) {
            const std::string& t = body[i].text;
            std::size_t colon = t.find(':');
            if (colon == std::string::npos || colon == 0 || colon + 1 == t.size() ||
                t.find_first_of(std::string(kBlanks) + ":", colon + 1) != std::string::npos ||
                t.find_first_of(kBlanks) < colon)
                return fail(body[i].number,
                            "expected a vessel block NAME:CLASS, got '" + excerpt(t) + "'");
            ShipBlock ship{body[i].number, t.substr(0, colon), t.substr(colon + 1), {}};
            std::size_t j = i + 1;
            for (; j < body.size() && body[j].text != "END"; ++j) ship.lines.push_back(body[j]);
            if (j == body.size())
                return fail(ship.header_line, "vessel block " + excerpt(t) + " has no END");
            ships.push_back(std::move(ship));
            i = j;
        }
        return true;
    }

    // System, Date MJD, and the stand-in's SimTime, TimeAccel, Wind and GroundElevation.
    bool apply_environment(const std::vector<Line>& lines) {
        for (const Line& l : lines) {
            auto w = split_words(l.text);
            double x[3];
            // n numbers from word first on, each within lo..hi.
            auto numbers = [&](std::size_t first, std::size_t n, double lo, double hi) {
                if (w.size() != first + n)
                    return false;
                for (std::size_t k = 0; k < n; ++k)
                    if (!to_double(w[first + k], x[k]) || x[k] < lo || x[k] > hi)
                        return false;
                return true;
            };
            auto body = [&]() -> Body* { return w.size() > 1 ? w_.body(w[1]) : nullptr; };
            if (w[0] == "System") {
                if (w.size() != 2)
                    return fail(l.number, "expected System NAME");
            } else if (w[0] == "Date") {
                if (w.size() < 2 || w[1] != "MJD" || !numbers(2, 1, kMinMjd, kMaxMjd))
                    return fail(l.number, "expected Date MJD <days, " + format_double(kMinMjd) +
                                              ".." + format_double(kMaxMjd) + ">");
                w_.clock.mjd = x[0];
            } else if (w[0] == "SimTime") {
                if (!numbers(1, 1, 0.0, kMaxSimTime_s))
                    return fail(l.number, "expected SimTime <seconds, 0.." +
                                              format_double(kMaxSimTime_s) + ">");
                w_.clock.t_s = x[0];
            } else if (w[0] == "TimeAccel") {
                if (!numbers(1, 1, kMinTimeAccel, kMaxTimeAccel))
                    return fail(l.number, "expected TimeAccel <factor, " +
                                              format_double(kMinTimeAccel) + ".." +
                                              format_double(kMaxTimeAccel) + ">");
                w_.clock.time_accel = x[0];
            } else if (w[0] == "Wind") {
                if (!body() || !numbers(2, 3, -kMaxWind_m_s, kMaxWind_m_s))
                    return fail(l.number, "expected Wind BODY east north up (m/s, each within " +
                                              format_double(kMaxWind_m_s) + ")");
                body()->wind_horizon = {x[0], x[2], x[1]};
            } else if (w[0] == "GroundElevation") {
                if (!body() || !numbers(2, 1, -kMaxElevation_m, kMaxElevation_m))
                    return fail(l.number, "expected GroundElevation BODY height_m (within " +
                                              format_double(kMaxElevation_m) + ")");
                body()->ground_elevation_m = x[0];
            } else {
                warn(l.number, "unknown environment line: " + excerpt(l.text));
            }
        }
        return true;
    }

    bool create_and_read(const std::vector<ShipBlock>& ships) {
        for (const ShipBlock& ship : ships) {
            std::string why;
            Vessel* v = w_.create_vessel(ship.name, ship.class_name, why);
            if (!v)
                return fail(ship.header_line, "cannot create vessel " + ship.name + " of class " +
                                                  ship.class_name + ": " + why);
            auto load = std::make_unique<VesselLoad>();
            load->vessel = v;
            ScenarioReadBlock& b = load->block;
            b.file = file_;
            b.header_line = ship.header_line;
            for (const Line& l : ship.lines) {
                b.lines.push_back(l.text);
                b.line_numbers.push_back(l.number);
            }
            b.vessel = v;
            b.pending = &load->pending;
            load->pending.block = &b;
            loads_.push_back(std::move(load));
            if (VESSEL2* cb = v->callbacks())
                call_module(w_, *v, "clbkReadState",
                            [&] { cb->clbkReadState(&b, &loads_.back()->pending); });
            if (!loads_.back()->pending.error.empty()) {
                error_ = loads_.back()->pending.error;
                return false;
            }
        }
        return true;
    }

    bool apply_states() {
        for (auto& load : loads_) {
            PendingStatus& p = load->pending;
            if (!resolve_status(w_, p, error_))
                return false;
            p.status.nfuel = static_cast<DWORD>(p.fuel.size());
            p.status.fuel = p.fuel.empty() ? nullptr : p.fuel.data();
            p.status.nthruster = static_cast<DWORD>(p.thrusters.size());
            p.status.thruster = p.thrusters.empty() ? nullptr : p.thrusters.data();
            Vessel* v = load->vessel;
            if (VESSEL2* cb = v->callbacks()) {
                call_module(w_, *v, "clbkSetStateEx", [&] { cb->clbkSetStateEx(&p.status); });
            } else {
                apply_status(w_, *v, p.status);
            }
            if (!finite_state(v->state))
                return fail(load->block.header_line, "vessel " + v->name() + ": state not finite");
        }
        return true;
    }

    bool make_attachments() {
        for (auto& load : loads_) {
            const PendingStatus& p = load->pending;
            if (p.attach_parent.empty())
                continue;
            int line = p.lines.at("ATTACHED");
            Vessel* child = load->vessel;
            Vessel* parent = w_.vessel(p.attach_parent);
            if (!parent)
                return fail(line, "no vessel named " + p.attach_parent + " to attach to");
            Attachment* pp =
                parent->attachment_point(false, static_cast<std::size_t>(p.attach_parent_point));
            Attachment* cp =
                child->attachment_point(true, static_cast<std::size_t>(p.attach_child_point));
            if (!pp)
                return fail(line, parent->name() +
                                      " has no attachment point for children with index " +
                                      std::to_string(p.attach_parent_point));
            if (!cp)
                return fail(line, child->name() +
                                      " has no attachment point towards a parent with index " +
                                      std::to_string(p.attach_child_point));
            if (chain_too_deep(*parent, *child))
                return fail(line, "hanging " + child->name() + " on " + parent->name() +
                                      " would make a chain of more than " +
                                      std::to_string(kMaxHangingLevels) + " levels");
            if (!attach(pp, cp))
                return fail(line,
                            "cannot attach " + child->name() + " to " + parent->name() +
                                ": a point is in use or the vessels would hang on each other");
        }
        // Children attached before their parent was hung on its own parent follow it now.
        for (const auto& v : w_.vessels())
            if (!v->parent())
                place_children(w_, *v);
        return true;
    }

    bool set_focus(const std::vector<Line>& lines) {
        for (const Line& l : lines) {
            auto w = split_words(l.text);
            if (w.size() != 2 || w[0] != "Ship")
                return fail(l.number, "expected Ship NAME");
            if (&l != &lines.front())
                return fail(l.number, "one vessel has the focus; a Ship line was given already");
            Vessel* v = w_.vessel(w[1]);
            if (!v)
                return fail(l.number, "no vessel named " + w[1] + " to take the focus");
            w_.set_focus(v);
        }
        return true;
    }

    void discard_vessels() {
        for (auto it = loads_.rbegin(); it != loads_.rend(); ++it) w_.destroy_vessel((*it)->vessel);
        loads_.clear();
    }
};

}  // namespace

bool load_scenario_text(World& w, const std::string& text, const std::string& file,
                        std::string& error, ScenarioInfo* info) {
    Reader r(w, file);
    if (r.load(text, info))
        return true;
    error = r.error();
    return false;
}

bool load_scenario(World& w, const std::string& path, std::string& error, ScenarioInfo* info) {
    std::string text;
    if (!read_text_file(path, kMaxScenarioBytes, text, error))
        return false;
    return load_scenario_text(w, text, path, error, info);
}

}  // namespace sim
