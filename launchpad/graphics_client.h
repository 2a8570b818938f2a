// The probe for an optional graphics client: a plug-in of the simulator that renders the scene
// and exports an extension interface as plain functions of its module. The probe finds the
// client's module if one is already loaded, resolves its entry points by name and forwards
// calls to them, answering a fixed value for an entry the client lacks. The pad only asks
// whether a client is there.
#pragma once

#include <cstdint>

#include "host/handles.h"
#include "host/math_types.h"

namespace gc {

// A machine word, as the client's entry points take their handles and pointers.
using word = std::uintptr_t;

// Entry points, in the order they are resolved.
enum entry : int {
    client_id,
    get_surface_attribs,
    convert_surface,
    generate_mip_maps,
    register_render_proc,
    delete_custom_camera,
    custom_camera_on_off,
    setup_custom_camera,
    sketchpad_version,
    load_sketch_mesh,
    delete_sketch_mesh,
    create_poly,
    delete_poly,
    world_to_screen_space,
    mesh_material,
    entry_count
};

// The exported name of each entry point, in entry order.
extern const char* const entry_names[entry_count];

// The client's module file names, in the order they are searched.
constexpr int client_module_count = 3;
extern const char* const client_module_names[client_module_count];

// The operating system's module services: find a module already loaded in the process by its
// file name, without loading it; look up a module's exported symbol. Null when not found.
struct module_services {
    void* (*find_loaded_module)(const char* file_name);
    void* (*find_symbol)(void* module, const char* name);
};
module_services os_module_services();

// What the probe found: the client's module once one was found (never cleared), and one slot
// per entry point.
class client {
  public:
    explicit client(module_services os = os_module_services()) : os_(os) {}

    // Searches for a loaded client unless one was found before, resolving its entries then;
    // logs once per search that finds none. True when a client with a "gcClientID" is there.
    bool probe();
    // A client is found and has "gcClientID". No search, no log.
    bool ready() const { return module_ && slots_[client_id]; }
    void* slot(entry e) const { return slots_[e]; }

    // Forwarding operations: the client's answer, or the fallback when it lacks the entry.
    DWORD client_id_call() const;                                             // 0
    DWORD get_surface_attribs_call(SURFHANDLE surf, bool create) const;       // 0
    void convert_surface_call(SURFHANDLE surf, DWORD attrib) const;           // nothing
    bool generate_mip_maps_call(SURFHANDLE surf) const;                       // false
    bool register_render_proc_call(word proc, DWORD id, word context) const;  // false
    int delete_custom_camera_call(word camera) const;                         // 0
    void custom_camera_on_off_call(word camera, bool on) const;               // nothing
    word setup_custom_camera_call(word camera, word ref, word rot, word pos, word up,
                                  double fov_rad, word surface, word flags) const;  // 0
    int sketchpad_version_call(word sketchpad) const;                               // 1
    word load_sketch_mesh_call(const char* name) const;                             // 0
    void delete_sketch_mesh_call(word mesh) const;                                  // nothing
    word create_poly_call(word poly, word points, int count, DWORD flags) const;    // 0
    void delete_poly_call(word poly) const;                                         // nothing
    bool world_to_screen_space_call(word world_pos, word screen_pt, word viewport,
                                    float clip) const;                              // false
    int mesh_material_call(word mesh, DWORD index, word material, bool set) const;  // -5

  private:
    template <typename Result, typename... Args>
    Result forward(entry e, Result fallback, Args... args) const;

    module_services os_;
    void* module_ = nullptr;
    void* slots_[entry_count] = {};
};

// The client every pad of the library shares.
client& shared_client();

// Pure conversions offered beside the forwarding operations.
struct fmatrix4 {
    float m[16];  // row by row
};
// 0xAARRGGBB from components 0..1: each times 255, truncated; a result outside 0..255 (or not
// a number) becomes 255; an alpha of 0 becomes 1.
DWORD pack_colour(float r, float g, float b, float a);
DWORD pack_colour(const COLOUR4& c);
void widen_matrix(const fmatrix4& in, double out[16]);
// Sets the fourth row's first three elements.
void set_translation(fmatrix4& m, const VECTOR3& p);
// Rows (u k, 0), (u x w k, 0), (w k, 0), (p, 1).
fmatrix4 placement_matrix(const VECTOR3& p, const VECTOR3& u, const VECTOR3& w, double k);

}  // namespace gc

// The pad's two questions, both about the shared client.
bool probe_graphics_client();
bool graphics_client_ready();
