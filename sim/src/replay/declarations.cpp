#include "declarations.h"

#include "json_text.h"
#include "sim/mesh_obj.h"
#include "sim/module_loader.h"
#include "sim/text_file.h"
#include "sim/vessel.h"

namespace sim {

namespace {

std::string folder_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string geometry_json(const MeshGeometry& g) {
    std::string o = "[";
    for (std::size_t i = 0; i < g.groups.size(); ++i) {
        const MeshGroup& grp = g.groups[i];
        if (i)
            o += ',';
        o += "{\"name\":";
        json::str(o, grp.name);
        o += ",\"material\":";
        json::str(o, grp.material);
        o += ",\"v\":[";
        for (std::size_t k = 0; k < grp.positions.size(); ++k) {
            if (k)
                o += ',';
            json::num(o, grp.positions[k], 3);
        }
        o += "],\"f\":[";
        for (std::size_t k = 0; k < grp.triangles.size(); ++k) {
            if (k)
                o += ',';
            o += std::to_string(grp.triangles[k]);
        }
        o += "]}";
    }
    return o + "]";
}

// The mesh's groups as JSON, or "null" with a warning when no file of that name reads.
std::string mesh_json(const Vessel& v, const std::string& name, MeshCache& cache) {
    std::vector<std::string> folders;
    if (v.module() && !v.module()->path.empty())
        folders.push_back(folder_of(v.module()->path) + "/meshes");
    folders.insert(folders.end(), cache.folders.begin(), cache.folders.end());
    std::string tried;
    for (const std::string& folder : folders) {
        const std::string file = mesh_file(folder, name);
        if (file.empty()) {
            cache.warn("mesh \"" + name + "\" of " + v.class_name() +
                       ": not a name inside a meshes folder; drawn from the vessel's size");
            return "null";
        }
        if (auto it = cache.json_by_file.find(file); it != cache.json_by_file.end())
            return it->second;
        std::string text, error;
        if (!read_text_file(file, kMaxMeshFileBytes, text, error)) {
            tried += (tried.empty() ? "" : ", ") + file;
            continue;
        }
        MeshGeometry g;
        std::string& json = cache.json_by_file[file];
        if (!parse_obj(text, g, error)) {
            cache.warn("mesh " + file + " of " + v.class_name() + ": " + error +
                       "; drawn from the vessel's size");
            json = "null";
        } else {
            json = geometry_json(g);
        }
        return json;
    }
    cache.warn("mesh \"" + name + "\" of " + v.class_name() + ": no file (" +
               (tried.empty() ? std::string("no meshes folder") : "looked for " + tried) +
               "); drawn from the vessel's size");
    return "null";
}

int thruster_index(const Vessel& v, const Thruster* t) {
    for (std::size_t i = 0; i < v.thrusters.size(); ++i)
        if (v.thrusters[i].get() == t)
            return int(i);
    return -1;
}

int component_index(const Vessel& v, const AnimationComponent* c) {
    for (std::size_t i = 0; i < v.animation_components.size(); ++i)
        if (v.animation_components[i].get() == c)
            return int(i);
    return -1;
}

void component_json(std::string& o, const Vessel& v, const AnimationComponent& c) {
    const MGROUP_TRANSFORM& tr = *c.transform;
    o += "{\"id\":" + std::to_string(component_index(v, &c));
    o += ",\"mesh\":" + std::to_string(tr.mesh) + ",\"groups\":[";
    for (UINT i = 0; i < tr.ngrp; ++i) o += (i ? "," : "") + std::to_string(tr.grp[i]);
    o += "],\"s0\":";
    json::num(o, c.state0, 6);
    o += ",\"s1\":";
    json::num(o, c.state1, 6);
    o += ",\"parent\":" + std::to_string(c.parent ? component_index(v, c.parent) : -1);
    switch (tr.Type()) {
        case MGROUP_TRANSFORM::ROTATE: {
            const auto& r = static_cast<const MGROUP_ROTATE&>(tr);
            o += ",\"type\":\"rotate\",\"ref\":";
            json::vec(o, r.ref, 6);
            o += ",\"axis\":";
            json::vec(o, r.axis, 6);
            o += ",\"angle\":";
            json::num(o, r.angle, 8);
            break;
        }
        case MGROUP_TRANSFORM::TRANSLATE:
            o += ",\"type\":\"translate\",\"shift\":";
            json::vec(o, static_cast<const MGROUP_TRANSLATE&>(tr).shift, 6);
            break;
        case MGROUP_TRANSFORM::SCALE: {
            const auto& s = static_cast<const MGROUP_SCALE&>(tr);
            o += ",\"type\":\"scale\",\"ref\":";
            json::vec(o, s.ref, 6);
            o += ",\"scale\":";
            json::vec(o, s.scale, 6);
            break;
        }
        default:
            o += ",\"type\":\"none\"";
    }
    o += '}';
}

void colour_json(std::string& o, const COLOUR4& c) {
    o += '[';
    json::num(o, c.r, 3);
    o += ',';
    json::num(o, c.g, 3);
    o += ',';
    json::num(o, c.b, 3);
    o += ']';
}

}  // namespace

namespace {

template <typename F>
void each_count(const Vessel& v, F f) {
    for (std::size_t n : {v.meshes.size(), v.animation_components.size(), v.animations.size(),
                          v.thrusters.size(), v.exhausts.size(), v.streams.size(), v.beacons.size(),
                          v.spot_lights.size(), v.config.touchdown().size()})
        f(n);
    for (const auto& a : v.animations) f(a->components.size());
}

}  // namespace

bool same_counts(const Vessel& v, const DeclarationCounts& counts) {
    std::size_t i = 0;
    bool same = true;
    each_count(v, [&](std::size_t n) {
        same = same && i < counts.size() && counts[i] == n;
        ++i;
    });
    return same && i == counts.size();
}

DeclarationCounts declaration_counts(const Vessel& v) {
    DeclarationCounts counts;
    each_count(v, [&](std::size_t n) { counts.push_back(n); });
    return counts;
}

std::string declaration_json(const Vessel& v, MeshCache& cache) {
    std::string o = "{\"name\":";
    json::str(o, v.name());
    o += ",\"class\":";
    json::str(o, v.class_name());
    o += ",\"size\":";
    json::num(o, v.config.size_m, 3);
    o += ",\"touchdown\":[";
    for (std::size_t i = 0; i < v.config.touchdown().size(); ++i) {
        if (i)
            o += ',';
        json::vec(o, v.config.touchdown()[i].pos, 3);
    }
    o += "],\"meshes\":[";
    if (v.meshes.empty())
        cache.warn(v.class_name() + " declares no mesh; " + v.name() +
                   " is drawn from its size and touchdown points");
    for (std::size_t i = 0; i < v.meshes.size(); ++i) {
        const Mesh& m = v.meshes[i];
        if (i)
            o += ',';
        o += "{\"name\":";
        json::str(o, m.name);
        o += ",\"offset\":";
        json::vec(o, m.offset, 3);
        o += ",\"visibility\":" + std::to_string(m.visibility);
        o += ",\"groups\":" + mesh_json(v, m.name, cache) + '}';
    }
    o += "],\"animations\":[";
    for (std::size_t a = 0; a < v.animations.size(); ++a) {
        if (a)
            o += ',';
        o += "[";
        const auto& comps = v.animations[a]->components;
        for (std::size_t i = 0; i < comps.size(); ++i) {
            if (i)
                o += ',';
            component_json(o, v, *comps[i]);
        }
        o += "]";
    }
    o += "],\"thrusters\":[";
    for (std::size_t i = 0; i < v.thrusters.size(); ++i) {
        const Thruster& t = *v.thrusters[i];
        if (i)
            o += ',';
        o += "{\"pos\":";
        json::vec(o, t.pos, 3);
        o += ",\"dir\":";
        json::vec(o, t.dir, 4);
        o += ",\"max\":";
        json::num(o, t.max_thrust_n, 1);
        o += '}';
    }
    // Flares: at the thruster, against its thrust, unless placed.
    o += "],\"flares\":[";
    for (std::size_t i = 0; i < v.exhausts.size(); ++i) {
        const Exhaust& e = v.exhausts[i];
        if (i)
            o += ',';
        o += "{\"thruster\":" + std::to_string(thruster_index(v, e.thruster)) + ",\"pos\":";
        json::vec(o, e.has_pos ? e.pos : (e.thruster ? e.thruster->pos : VECTOR3{}), 3);
        o += ",\"dir\":";
        json::vec(o, e.has_pos ? e.dir : (e.thruster ? -e.thruster->dir : VECTOR3{0, 0, -1}), 4);
        o += ",\"length\":";
        json::num(o, e.length_scale, 3);
        o += ",\"width\":";
        json::num(o, e.width_scale, 3);
        o += '}';
    }
    o += "],\"streams\":[";
    for (std::size_t i = 0; i < v.streams.size(); ++i) {
        const ParticleStream& s = *v.streams[i];
        const PARTICLESTREAMSPEC& p = s.stream;
        if (i)
            o += ',';
        o += "{\"thruster\":" + std::to_string(thruster_index(v, s.thruster)) + ",\"pos\":";
        json::vec(o, s.has_pos ? s.pos : (s.thruster ? s.thruster->pos : VECTOR3{}), 3);
        o += ",\"dir\":";
        json::vec(o, s.thruster ? -s.thruster->dir : VECTOR3{0, 0, -1}, 4);
        o += ",\"size\":";
        json::num(o, p.srcsize, 3);
        o += ",\"rate\":";
        json::num(o, p.srcrate, 3);
        o += ",\"v0\":";
        json::num(o, p.v0, 3);
        o += ",\"spread\":";
        json::num(o, p.srcspread, 3);
        o += ",\"lifetime\":";
        json::num(o, p.lifetime, 3);
        o += ",\"growth\":";
        json::num(o, p.growthrate, 3);
        o += ",\"emissive\":" + std::string(p.ltype == PARTICLESTREAMSPEC::EMISSIVE ? "1" : "0");
        o += ",\"levelmap\":" + std::to_string(int(p.levelmap)) + ",\"lmin\":";
        json::num(o, p.lmin, 4);
        o += ",\"lmax\":";
        json::num(o, p.lmax, 4);
        o += '}';
    }
    o += "],\"beacons\":[";
    for (std::size_t i = 0; i < v.beacons.size(); ++i) {
        const BEACONLIGHTSPEC* b = v.beacons[i].light;
        if (i)
            o += ',';
        o += "{\"pos\":";
        json::vec(o, b->pos ? *b->pos : VECTOR3{}, 3);
        o += ",\"colour\":";
        json::vec(o, b->col ? *b->col : VECTOR3{1, 1, 1}, 3);
        o += ",\"size\":";
        json::num(o, b->size, 3);
        o += ",\"period\":";
        json::num(o, b->period, 3);
        o += ",\"duration\":";
        json::num(o, b->duration, 3);
        o += ",\"offset\":";
        json::num(o, b->tofs, 3);
        o += '}';
    }
    o += "],\"spots\":[";
    for (std::size_t i = 0; i < v.spot_lights.size(); ++i) {
        const LightEmitter& l = *v.spot_lights[i].light;
        if (i)
            o += ',';
        o += "{\"pos\":";
        json::vec(o, l.pos, 3);
        o += ",\"dir\":";
        json::vec(o, l.dir, 4);
        o += ",\"range\":";
        json::num(o, l.range, 2);
        o += ",\"umbra\":";
        json::num(o, l.umbra, 4);
        o += ",\"penumbra\":";
        json::num(o, l.penumbra, 4);
        o += ",\"colour\":";
        colour_json(o, l.diffuse);
        o += '}';
    }
    o += "]}";
    return o;
}

}  // namespace sim
