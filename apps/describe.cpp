#include "apps/describe.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <numbers>

#include "apps/common/module_folders.h"
#include "apps/common/platform_files.h"
#include "apps/common/program_errors.h"
#include "sim/keyboard.h"
#include "sim/scenario.h"
#include "sim/world.h"

namespace app {

namespace {

std::string vec(const VECTOR3& v) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "(%g, %g, %g)", v.x, v.y, v.z);
    return buf;
}

int thruster_index(const sim::Vessel& v, const sim::Thruster* t) {
    for (std::size_t i = 0; i < v.thrusters.size(); ++i)
        if (v.thrusters[i].get() == t)
            return static_cast<int>(i);
    return -1;
}

void print_declarations(const sim::Vessel& v) {
    std::printf("vessel %s of class %s\n", v.name().c_str(), v.class_name().c_str());
    std::printf("  mass %.1f kg (empty %.1f kg, propellant %.1f kg)\n", v.mass_kg(),
                v.config.empty_mass_kg, v.propellant_mass_kg());
    std::printf("  size %g m, inertia per mass %s m^2, cross sections %s m^2\n", v.config.size_m,
                vec(v.config.pmi_m2).c_str(), vec(v.config.cross_sections_m2).c_str());
    for (const auto& m : v.meshes) std::printf("  mesh \"%s\"\n", m.name.c_str());
    for (std::size_t i = 0; i < v.thrusters.size(); ++i) {
        const sim::Thruster& t = *v.thrusters[i];
        std::printf("  thruster %zu at %s along %s, %g N, isp %g m/s\n", i, vec(t.pos).c_str(),
                    vec(t.dir).c_str(), t.max_thrust_n, t.isp_m_s);
    }
    for (const auto& g : v.groups) {
        std::printf("  group %-14s:", sim::group_name(g->type));
        for (const sim::Thruster* t : g->thrusters) std::printf(" %d", thruster_index(v, t));
        std::printf("\n");
    }
    std::printf("  %zu exhaust flames, %zu particle streams, %zu touchdown points\n",
                v.exhausts.size(), v.streams.size(), v.config.touchdown().size());
    for (std::size_t i = 0; i < v.beacons.size(); ++i) {
        const BEACONLIGHTSPEC& b = *v.beacons[i].light;
        const std::string pos = b.pos ? vec(*b.pos) : "(no position)";
        const std::string col = b.col ? vec(*b.col) : "(no colour)";
        std::printf("  beacon %zu at %s, colour %s, size %g m", i, pos.c_str(), col.c_str(),
                    b.size);
        if (b.period > 0.0)
            std::printf(", flashing %g s every %g s", b.duration, b.period);
        std::printf(", %s\n", b.active ? "on" : "off");
    }
    for (const auto& a : v.attachments)
        std::printf("  attachment \"%s\" %s at %s along %s\n", a->id.c_str(),
                    a->to_parent ? "towards a parent" : "for a child", vec(a->pos).c_str(),
                    vec(a->dir).c_str());
    std::printf("  camera at %s looking along %s, tilt %.4f rad\n", vec(v.camera.offset).c_str(),
                vec(v.camera.direction).c_str(), v.camera.tilt_rad);
    for (std::size_t a = 0; a < v.animations.size(); ++a) {
        const sim::Animation& anim = *v.animations[a];
        std::printf("  animation %zu: %zu components, state %.3f\n", a, anim.components.size(),
                    anim.state);
        for (const sim::AnimationComponent* c : anim.components) {
            const MGROUP_TRANSFORM* tr = c->transform;
            std::printf("    %s groups",
                        tr->Type() == MGROUP_TRANSFORM::ROTATE ? "rotate   " : "translate");
            for (UINT g = 0; g < tr->ngrp; ++g) std::printf(" %u", tr->grp[g]);
            if (tr->Type() == MGROUP_TRANSFORM::ROTATE) {
                auto* r = static_cast<const MGROUP_ROTATE*>(tr);
                std::printf(" about %s through %s by %.1f deg", vec(r->axis).c_str(),
                            vec(r->ref).c_str(), r->angle * 180.0 / std::numbers::pi);
            } else {
                std::printf(" by %s", vec(static_cast<const MGROUP_TRANSLATE*>(tr)->shift).c_str());
            }
            std::printf(" over %.2f-%.2f%s\n", c->state0, c->state1,
                        c->parent ? ", follows its parent" : "");
        }
    }
}

// The vessel's state as its module writes it into a scenario, without the standard lines.
void print_saved_state(sim::World& w, sim::Vessel& v) {
    sim::ScenarioWriteBlock block = sim::saved_block(w, v);
    int own = 0;
    for (std::size_t i = 0; i < block.items.size(); ++i) {
        if (i >= block.standard_first && i < block.standard_end)
            continue;
        const auto& [key, value] = block.items[i];
        std::printf("  %s%s%s\n", key.c_str(), value.empty() ? "" : " ", value.c_str());
        ++own;
    }
    if (own == 0)
        std::printf("  (its module saves no lines of its own)\n");
}

}  // namespace

int run_describe(const DescribeOptions& options) {
    if (std::string why = check_module_folders(options.module_dir); !why.empty()) {
        std::fprintf(stderr, "%s%s\n", kProgramPrefix, why.c_str());
        return 1;
    }
    sim::World world(module_path(options.module_dir));
    std::string error;
    sim::Vessel* v = world.create_vessel(options.class_name, options.class_name, error);
    if (!v) {
        std::fprintf(stderr, "%s%s\n", kProgramPrefix, error.c_str());
        return 1;
    }
    world.finish_creation();
    print_declarations(*v);
    std::printf("state, as its module saves it\n");
    print_saved_state(world, *v);
    for (const std::string& text : options.keys) {
        sim::KeyPress key;
        if (!sim::parse_key(text, key)) {
            std::fprintf(stderr, "%snot a key: %s\n", kProgramPrefix, text.c_str());
            return 2;
        }
        auto state = sim::keyboard_state(key);
        int used = sim::deliver_key(*v, key.code, true, state.data());
        std::printf("key %s: %s\n", text.c_str(), used ? "taken" : "left to the simulator");
        print_saved_state(world, *v);
        std::printf("  camera at %s looking along %s, tilt %.4f rad, attached %d times\n",
                    vec(v->camera.offset).c_str(), vec(v->camera.direction).c_str(),
                    v->camera.tilt_rad, world.camera.attach_calls);
    }
    return 0;
}

std::string describe_usage_line() {
    return "usage: vesselsim describe CLASS [--key KEY]... [--modules " +
           std::string(folder_list_usage) + "]...";
}

int describe_command(int argc, const char* const* argv) {
    CLI::App app{"vesselsim describe: what a vessel class declares, and what keys do to it",
                 "vesselsim"};
    CLI::App* cmd = app.add_subcommand("describe", "create one vessel of a class and print it");
    app.require_subcommand(1);
    DescribeOptions o;
    cmd->add_option("CLASS", o.class_name, "vessel class (module name)")->required();
    cmd->add_option("--key", o.keys, "press a key on it, e.g. Ctrl+G")->allow_extra_args(false);
    std::vector<std::string> module_lists;
    cmd->add_option("--modules", module_lists, "folders of module libraries, searched first")
        ->allow_extra_args(false)
        ->type_name(folder_list_usage);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::printf("%s", app.help().c_str());
        return 0;
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "%s%s\n%s\n", kProgramPrefix, e.what(), describe_usage_line().c_str());
        return 2;
    }
    o.module_dir = join_folders(module_lists);
    try {
        return run_describe(o);
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "%s%s\n", kProgramPrefix, e.what());
        return 1;
    }
}

}  // namespace app
