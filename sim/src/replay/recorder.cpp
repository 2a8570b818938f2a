#include <algorithm>
#include <cmath>
#include <map>

#include "declarations.h"
#include "json_text.h"
#include "sim/frames.h"
#include "sim/hud.h"
#include "sim/replay.h"
#include "sim/world.h"

namespace sim {

namespace {

// A vessel's state in one sample.
struct VesselSample {
    bool present = false;
    float pos[3] = {0, 0, 0};      // m, in the ground frame of the recording
    float quat[4] = {1, 0, 0, 0};  // w, x, y, z: vessel frame -> ground frame
    std::vector<float> anims, thrusters;
    std::vector<bool> beacons, spots;
    std::string mesh_vis;  // per mesh, its visibility mode as a digit (0 never .. 3 always)
    int camera = 0;        // into the vessel's camera table
    int declaration = 0;   // into the vessel's declarations
};

struct Sample {
    double t = 0.0;
    bool keep = false;
    float sun[3] = {0, 1, 0};  // unit vector towards the Sun, ground frame
    int hud = -1;              // into the HUD table; -1: none drawn
    int focus = -1;            // the focus vessel's track
    std::vector<VesselSample> vessels;
};

struct Track {
    std::string name;
    DeclarationCounts counts;
    std::vector<std::string> declarations;  // as declared when first seen, and after each change
    std::vector<std::string> cameras;       // distinct camera settings, JSON
    Camera last_camera;                     // of the last sample, compared in place
    int last_camera_index = -1;
};

bool same_camera(const Camera& a, const Camera& b) {
    const auto same = [](const VECTOR3& p, const VECTOR3& q) {
        return p.x == q.x && p.y == q.y && p.z == q.z;
    };
    return same(a.offset, b.offset) && same(a.direction, b.direction) && a.tilt_rad == b.tilt_rad;
}

// Rotation matrix (proper) to a unit quaternion w, x, y, z.
void quaternion(const MATRIX3& m, float q[4]) {
    const double tr = m.m11 + m.m22 + m.m33;
    double w, x, y, z;
    if (tr > 0) {
        const double s = std::sqrt(tr + 1.0) * 2;
        w = 0.25 * s, x = (m.m32 - m.m23) / s, y = (m.m13 - m.m31) / s, z = (m.m21 - m.m12) / s;
    } else if (m.m11 > m.m22 && m.m11 > m.m33) {
        const double s = std::sqrt(1.0 + m.m11 - m.m22 - m.m33) * 2;
        w = (m.m32 - m.m23) / s, x = 0.25 * s, y = (m.m12 + m.m21) / s, z = (m.m13 + m.m31) / s;
    } else if (m.m22 > m.m33) {
        const double s = std::sqrt(1.0 + m.m22 - m.m11 - m.m33) * 2;
        w = (m.m13 - m.m31) / s, x = (m.m12 + m.m21) / s, y = 0.25 * s, z = (m.m23 + m.m32) / s;
    } else {
        const double s = std::sqrt(1.0 + m.m33 - m.m11 - m.m22) * 2;
        w = (m.m21 - m.m12) / s, x = (m.m13 + m.m31) / s, y = (m.m23 + m.m32) / s, z = 0.25 * s;
    }
    const double n = std::sqrt(w * w + x * x + y * y + z * z);
    q[0] = float(w / n), q[1] = float(x / n), q[2] = float(y / n), q[3] = float(z / n);
}

// How much of the run a recording keeps: every n-th sample, every n-th of the samples that
// events asked to keep, every n-th event. HUD pictures go with the samples that show them.
struct Thinning {
    std::size_t every = 1, keep_every = 1, event_every = 1;
};

}  // namespace

struct ReplayRecorder::Impl {
    ReplayOptions o;
    std::vector<Sample> samples;
    std::vector<Track> tracks;
    std::map<const Vessel*, std::size_t> track_of;
    std::vector<std::string> huds;  // distinct HUD pictures, JSON
    std::map<std::string, int> hud_index;
    struct Event {
        double t;
        std::string kind, text;
    };
    std::vector<Event> events;
    std::vector<std::string> notes;
    MeshCache meshes;
    double next_sample_t = -1e300, next_hud_t = -1e300;
    int last_hud = -1;
    std::string focus_name, body_name;
    // The ground frame: east, up, north at the point of the ground under the focus vessel at
    // the first sample, turning with the body.
    const Body* body = nullptr;
    VECTOR3 site{0, 0, 0};        // body-fixed, m
    MATRIX3 basis = identity3();  // columns east, up, north, body-fixed

    void set_site(World& w) {
        Vessel* f = w.focus() ? w.focus() : w.vessel_at(0);
        if (!f)
            return;
        focus_name = f->name();
        body = f->state.ref;
        if (!body) {
            site = f->state.rpos;
            return;
        }
        body_name = body->name();
        const EquPos e = equ_pos(w, *f);
        basis = horizon_basis(e.lng_rad, e.lat_rad);
        site = body_fixed_from_equ({e.lng_rad, e.lat_rad, body->ground_radius_m()});
    }

    // Global position and orientation to the ground frame.
    VECTOR3 ground_pos(const World& w, const VECTOR3& global) const {
        if (!body)
            return global - site;
        const MATRIX3 turn = body->rotation(w.clock.mjd);
        return tmul(basis, tmul(turn, global - body->position(w.clock.mjd)) - site);
    }
    MATRIX3 ground_rot(const World& w, const MATRIX3& vessel_to_global) const {
        if (!body)
            return vessel_to_global;
        return mul(transpose(basis), mul(transpose(body->rotation(w.clock.mjd)), vessel_to_global));
    }

    std::size_t track(const Vessel& v) {
        auto it = track_of.find(&v);
        if (it != track_of.end() && tracks[it->second].name == v.name())
            return it->second;
        tracks.emplace_back();
        tracks.back().name = v.name();
        track_of[&v] = tracks.size() - 1;
        return tracks.size() - 1;
    }

    VesselSample take(World& w, const Vessel& v, Track& tr) {
        VesselSample s;
        s.present = true;
        if (tr.declarations.empty() || !same_counts(v, tr.counts)) {
            tr.counts = declaration_counts(v);
            tr.declarations.push_back(declaration_json(v, meshes));
        }
        s.declaration = int(tr.declarations.size()) - 1;
        const VECTOR3 p = ground_pos(w, global_pos(w, v));
        s.pos[0] = float(p.x), s.pos[1] = float(p.y), s.pos[2] = float(p.z);
        quaternion(ground_rot(w, v.state.rot), s.quat);
        for (const auto& a : v.animations) s.anims.push_back(float(a->state));
        for (const auto& t : v.thrusters) s.thrusters.push_back(float(t->level));
        for (const auto& b : v.beacons) s.beacons.push_back(b.light->active);
        for (const auto& l : v.spot_lights) s.spots.push_back(l.light->IsActive());
        for (const Mesh& mesh : v.meshes) s.mesh_vis += char('0' + (mesh.visibility & 3));
        s.camera = camera_index(v.camera, tr);
        return s;
    }

    // The camera's entry in the track's table; worked out only when it moved since the last.
    static int camera_index(const Camera& now, Track& tr) {
        if (tr.last_camera_index >= 0 && same_camera(now, tr.last_camera))
            return tr.last_camera_index;
        std::string cam = "{\"offset\":";
        json::vec(cam, now.offset, 3);
        cam += ",\"dir\":";
        json::vec(cam, now.direction, 4);
        cam += ",\"tilt\":";
        json::num(cam, now.tilt_rad, 4);
        cam += '}';
        auto c = std::find(tr.cameras.begin(), tr.cameras.end(), cam);
        if (c == tr.cameras.end())
            c = tr.cameras.insert(c, cam);
        tr.last_camera = now;
        tr.last_camera_index = int(c - tr.cameras.begin());
        return tr.last_camera_index;
    }

    int take_hud(World& w) {
        Vessel* f = w.focus();
        if (!f)
            return -1;
        std::string pic = "[";
        bool first = true;
        for (const DrawnText& t : draw_hud(w, *f, HudSize{})) {
            pic += first ? "[" : ",[";
            first = false;
            pic += std::to_string(t.x) + ',' + std::to_string(t.y) + ',';
            json::str(pic, t.text);
            pic += ',' + std::to_string(t.colour) + ']';
        }
        pic += ']';
        auto [it, added] = hud_index.emplace(pic, int(huds.size()));
        if (added)
            huds.push_back(pic);
        return it->second;
    }

    std::string write(const Thinning& thin, const std::vector<std::string>& thin_notes) const;
};

ReplayRecorder::ReplayRecorder(ReplayOptions options) : impl_(std::make_unique<Impl>()) {
    impl_->o = std::move(options);
    impl_->meshes.folders = impl_->o.mesh_folders;
}

ReplayRecorder::~ReplayRecorder() = default;

std::size_t ReplayRecorder::sample_count() const {
    return impl_->samples.size();
}

void ReplayRecorder::set_max_bytes(std::size_t n) {
    impl_->o.max_bytes = n;
}

void ReplayRecorder::sample(World& w, bool force) {
    Impl& m = *impl_;
    const double t = w.clock.t_s;
    if (m.samples.empty())
        m.set_site(w);
    else if (!force && t < m.next_sample_t - 1e-9)
        return;
    if (!m.samples.empty() && m.samples.back().t == t) {
        m.samples.back().keep |= force;
        return;  // taken already in this frame
    }
    const double period = 1.0 / std::max(m.o.samples_per_s, 1e-3);
    if (t >= m.next_sample_t - 1e-9)
        m.next_sample_t = std::max(m.next_sample_t + period, t + 0.5 * period);
    Sample s;
    s.t = t;
    s.keep = force;
    for (const auto& v : w.vessels()) {
        const std::size_t i = m.track(*v);
        if (s.vessels.size() <= i)
            s.vessels.resize(i + 1);
        s.vessels[i] = m.take(w, *v, m.tracks[i]);
        if (v.get() == w.focus())
            s.focus = int(i);
    }
    // The Sun stands at the origin of the global frame.
    const VECTOR3 site_global =
        m.body ? m.body->position(w.clock.mjd) + mul(m.body->rotation(w.clock.mjd), m.site)
               : m.site;
    const MATRIX3 to_ground =
        m.body ? mul(transpose(m.basis), transpose(m.body->rotation(w.clock.mjd))) : identity3();
    const VECTOR3 sun = unit(mul(to_ground, -site_global));
    s.sun[0] = float(sun.x), s.sun[1] = float(sun.y), s.sun[2] = float(sun.z);
    if (t >= m.next_hud_t - 1e-9) {
        m.last_hud = m.take_hud(w);
        m.next_hud_t = t + 1.0 / std::max(m.o.hud_per_s, 1e-3);
    }
    s.hud = m.last_hud;
    m.samples.push_back(std::move(s));
}

void ReplayRecorder::keep_last() {
    if (!impl_->samples.empty())
        impl_->samples.back().keep = true;
}

void ReplayRecorder::event(double t_s, const std::string& kind, const std::string& text) {
    impl_->events.push_back({t_s, kind, text});
}

void ReplayRecorder::note(const std::string& text) {
    if (std::find(impl_->notes.begin(), impl_->notes.end(), text) == impl_->notes.end())
        impl_->notes.push_back(text);
}

namespace {

void floats(std::string& o, const std::vector<float>& xs, int decimals) {
    o += '[';
    for (std::size_t i = 0; i < xs.size(); ++i) {
        if (i)
            o += ',';
        json::num(o, xs[i], decimals);
    }
    o += ']';
}

void bits(std::string& o, const std::vector<bool>& xs) {
    o += '"';
    for (bool b : xs) o += b ? '1' : '0';
    o += '"';
}

}  // namespace

std::string ReplayRecorder::Impl::write(const Thinning& thin,
                                        const std::vector<std::string>& thin_notes) const {
    // The samples kept: every n-th, every n-th of those an event asked for, and the last.
    std::vector<std::size_t> kept;
    std::size_t keep_seen = 0;
    for (std::size_t k = 0; k < samples.size(); ++k) {
        const bool by_event = samples[k].keep && keep_seen++ % thin.keep_every == 0;
        if (k % thin.every == 0 || by_event || k + 1 == samples.size())
            kept.push_back(k);
    }
    // Only the HUD pictures that a kept sample shows, numbered again in order.
    std::vector<int> hud_of(huds.size(), -1);
    std::vector<int> hud_written;
    for (std::size_t k : kept) {
        const int h = samples[k].hud;
        if (h >= 0 && hud_of[std::size_t(h)] < 0) {
            hud_of[std::size_t(h)] = int(hud_written.size());
            hud_written.push_back(h);
        }
    }

    const double rate = this->o.samples_per_s / double(thin.every);
    std::string o = "{\"format\":\"vesselsim replay 1\",\"focus\":";
    json::str(o, focus_name);
    o += ",\"body\":";
    json::str(o, body_name);
    o += ",\"ground_radius_m\":";
    json::num(o, body ? body->ground_radius_m() : 0.0, 3);
    o += ",\"samples_per_s\":";
    json::num(o, rate, 3);
    o += ",\"vessels\":[";
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        const Track& tr = tracks[i];
        if (i)
            o += ',';
        o += "{\"name\":";
        json::str(o, tr.name);
        o += ",\"declarations\":[";
        for (std::size_t d = 0; d < tr.declarations.size(); ++d)
            o += (d ? "," : "") + tr.declarations[d];
        o += "],\"cameras\":[";
        for (std::size_t c = 0; c < tr.cameras.size(); ++c) o += (c ? "," : "") + tr.cameras[c];
        o += "]}";
    }
    o += "],\"huds\":[";
    for (std::size_t h = 0; h < hud_written.size(); ++h)
        o += (h ? "," : "") + huds[std::size_t(hud_written[h])];
    o += "],\"events\":[";
    bool first = true;
    for (std::size_t e = 0; e < events.size(); e += thin.event_every) {
        o += first ? "{\"t\":" : ",{\"t\":";
        first = false;
        json::num(o, events[e].t, 4);
        o += ",\"kind\":";
        json::str(o, events[e].kind);
        o += ",\"text\":";
        json::str(o, events[e].text);
        o += '}';
    }
    o += "],\"notes\":[";
    std::vector<std::string> all_notes = notes;
    all_notes.insert(all_notes.end(), thin_notes.begin(), thin_notes.end());
    for (std::size_t n = 0; n < all_notes.size(); ++n) {
        if (n)
            o += ',';
        json::str(o, all_notes[n]);
    }
    o += "],\"mesh_warnings\":[";
    for (std::size_t n = 0; n < meshes.warnings.size(); ++n) {
        if (n)
            o += ',';
        json::str(o, meshes.warnings[n]);
    }
    o += "],\"samples\":[";
    first = true;
    for (std::size_t k : kept) {
        const Sample& s = samples[k];
        o += first ? "{\"t\":" : ",{\"t\":";
        first = false;
        json::num(o, s.t, 4);
        o += ",\"sun\":[";
        for (int c = 0; c < 3; ++c) {
            if (c)
                o += ',';
            json::num(o, s.sun[c], 4);
        }
        o += "],\"hud\":" + std::to_string(s.hud >= 0 ? hud_of[std::size_t(s.hud)] : -1) +
             ",\"focus\":" + std::to_string(s.focus) + ",\"v\":[";
        for (std::size_t i = 0; i < s.vessels.size(); ++i) {
            const VesselSample& v = s.vessels[i];
            if (i)
                o += ',';
            if (!v.present) {
                o += "null";
                continue;
            }
            o += "{\"p\":[";
            for (int c = 0; c < 3; ++c) {
                if (c)
                    o += ',';
                json::num(o, v.pos[c], 3);
            }
            o += "],\"q\":[";
            for (int c = 0; c < 4; ++c) {
                if (c)
                    o += ',';
                json::num(o, v.quat[c], 5);
            }
            o += "],\"a\":";
            floats(o, v.anims, 6);
            o += ",\"th\":";
            floats(o, v.thrusters, 3);
            o += ",\"b\":";
            bits(o, v.beacons);
            o += ",\"l\":";
            bits(o, v.spots);
            o += ",\"mv\":\"" + v.mesh_vis + '"';
            o += ",\"c\":" + std::to_string(v.camera) + ",\"d\":" + std::to_string(v.declaration);
            o += '}';
        }
        o += "]}";
    }
    o += "]}";
    return o;
}

std::string ReplayRecorder::json(std::vector<std::string>& warnings) const {
    const Impl& m = *impl_;
    Thinning thin;
    std::vector<std::string> notes;
    std::string out = m.write(thin, notes);
    char limit[32];
    std::snprintf(limit, sizeof limit, "%.1f", double(m.o.max_bytes) / (1 << 20));
    const std::string exceed = std::string("the recording would exceed ") + limit + " MB: ";
    const std::size_t kept_by_events = std::size_t(
        std::count_if(m.samples.begin(), m.samples.end(), [](const Sample& s) { return s.keep; }));
    // Thinned in three stages until it fits: the regular samples first, then the samples that
    // events asked for (a module may switch something every frame), then the events' list.
    std::string stage_notes[3];
    while (out.size() > m.o.max_bytes) {
        int stage = 0;
        std::string note;
        if (thin.every < m.samples.size()) {
            thin.every *= 2;
            char rate[32];
            std::snprintf(rate, sizeof rate, "%g", m.o.samples_per_s / double(thin.every));
            note = exceed + rate +
                   " samples per simulated second (and every event's frame) kept instead of " +
                   std::to_string(int(m.o.samples_per_s));
        } else if (thin.keep_every < kept_by_events) {
            thin.keep_every *= 2;
            stage = 1;
            note = exceed + "one event frame in " + std::to_string(thin.keep_every) + " kept";
        } else if (thin.event_every < m.events.size()) {
            thin.event_every *= 2;
            stage = 2;
            note = exceed + "one event in " + std::to_string(thin.event_every) + " listed";
        } else {
            break;
        }
        stage_notes[stage] = note;
        notes.clear();
        for (const std::string& n : stage_notes)
            if (!n.empty())
                notes.push_back(n);
        out = m.write(thin, notes);
    }
    for (const std::string& w : m.meshes.warnings) warnings.push_back(w);
    warnings.insert(warnings.end(), notes.begin(), notes.end());
    if (out.size() > m.o.max_bytes)
        warnings.push_back(std::string("the recording exceeds ") + limit +
                           " MB even with the fewest samples");
    return out;
}

}  // namespace sim
