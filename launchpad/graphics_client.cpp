#include "graphics_client.h"

#include <cmath>

#include "host/oapi.h"

namespace gc {

const char* const entry_names[entry_count] = {
    "gcClientID",           "gcGetSurfaceAttribs",  "gcConvertSurface",    "gcGenerateMipMaps",
    "gcRegisterRenderProc", "gcDeleteCustomCamera", "gcCustomCameraOnOff", "gcSetupCustomCamera",
    "gcSketchpadVersion",   "gcLoadSketchMesh",     "gcDeleteSketchMesh",  "gcCreatePoly",
    "gcDeletePoly",         "gcWorldToScreenSpace", "gcMeshMaterial",
};

const char* const client_module_names[client_module_count] = {
    "D3D9Client.dll", "D3D9ClientDebug.dll", "D3D11Client.dll"};

namespace {

constexpr const char* not_found_line = "gcAPI: [Graphics Client Not Found]";

}  // namespace

bool client::probe() {
    if (module_)
        return ready();
    for (const char* name : client_module_names)
        if ((module_ = os_.find_loaded_module(name)))
            break;
    if (!module_) {
        oapiWriteLog(not_found_line);
        return false;
    }
    for (int e = 0; e < entry_count; ++e) slots_[e] = os_.find_symbol(module_, entry_names[e]);
    return ready();
}

template <typename Result, typename... Args>
Result client::forward(entry e, Result fallback, Args... args) const {
    if (!slots_[e])
        return fallback;
    return reinterpret_cast<Result (*)(Args...)>(slots_[e])(args...);
}

DWORD client::client_id_call() const {
    return forward<DWORD>(client_id, 0);
}
DWORD client::get_surface_attribs_call(SURFHANDLE surf, bool create) const {
    return forward<DWORD>(get_surface_attribs, 0, surf, create);
}
void client::convert_surface_call(SURFHANDLE surf, DWORD attrib) const {
    if (slots_[convert_surface])
        reinterpret_cast<void (*)(SURFHANDLE, DWORD)>(slots_[convert_surface])(surf, attrib);
}
bool client::generate_mip_maps_call(SURFHANDLE surf) const {
    return forward<bool>(generate_mip_maps, false, surf);
}
bool client::register_render_proc_call(word proc, DWORD id, word context) const {
    return forward<bool>(register_render_proc, false, proc, id, context);
}
int client::delete_custom_camera_call(word camera) const {
    return forward<int>(delete_custom_camera, 0, camera);
}
void client::custom_camera_on_off_call(word camera, bool on) const {
    if (slots_[custom_camera_on_off])
        reinterpret_cast<void (*)(word, bool)>(slots_[custom_camera_on_off])(camera, on);
}
word client::setup_custom_camera_call(word camera, word ref, word rot, word pos, word up,
                                      double fov_rad, word surface, word flags) const {
    return forward<word>(setup_custom_camera, 0, camera, ref, rot, pos, up, fov_rad, surface,
                         flags);
}
int client::sketchpad_version_call(word sketchpad) const {
    return forward<int>(sketchpad_version, 1, sketchpad);
}
word client::load_sketch_mesh_call(const char* name) const {
    return forward<word>(load_sketch_mesh, 0, name);
}
void client::delete_sketch_mesh_call(word mesh) const {
    if (slots_[delete_sketch_mesh])
        reinterpret_cast<void (*)(word)>(slots_[delete_sketch_mesh])(mesh);
}
word client::create_poly_call(word poly, word points, int count, DWORD flags) const {
    return forward<word>(create_poly, 0, poly, points, count, flags);
}
void client::delete_poly_call(word poly) const {
    if (slots_[delete_poly])
        reinterpret_cast<void (*)(word)>(slots_[delete_poly])(poly);
}
bool client::world_to_screen_space_call(word world_pos, word screen_pt, word viewport,
                                        float clip) const {
    return forward<bool>(world_to_screen_space, false, world_pos, screen_pt, viewport, clip);
}
int client::mesh_material_call(word mesh, DWORD index, word material, bool set) const {
    return forward<int>(mesh_material, -5, mesh, index, material, set);
}

client& shared_client() {
    static client c;
    return c;
}

namespace {

// One component times 255, truncated; out of range or not a number: 255. Compared before the
// conversion, which is undefined for values no integer holds.
DWORD colour_byte(float c) {
    float scaled = c * 255.0f;
    if (!(scaled > -1.0f && scaled < 256.0f))
        return 255;
    return static_cast<DWORD>(static_cast<int>(scaled)) & 0xFF;
}

}  // namespace

DWORD pack_colour(float r, float g, float b, float a) {
    DWORD alpha = colour_byte(a);
    if (alpha == 0)
        alpha = 1;
    return alpha << 24 | colour_byte(r) << 16 | colour_byte(g) << 8 | colour_byte(b);
}

DWORD pack_colour(const COLOUR4& c) {
    return pack_colour(c.r, c.g, c.b, c.a);
}

void widen_matrix(const fmatrix4& in, double out[16]) {
    for (int i = 0; i < 16; ++i) out[i] = in.m[i];
}

void set_translation(fmatrix4& m, const VECTOR3& p) {
    m.m[12] = static_cast<float>(p.x);
    m.m[13] = static_cast<float>(p.y);
    m.m[14] = static_cast<float>(p.z);
}

fmatrix4 placement_matrix(const VECTOR3& p, const VECTOR3& u, const VECTOR3& w, double k) {
    const VECTOR3 v{u.y * w.z - u.z * w.y, u.z * w.x - u.x * w.z, u.x * w.y - u.y * w.x};
    auto f = [](double x) { return static_cast<float>(x); };
    return {{f(u.x * k), f(u.y * k), f(u.z * k), 0.0f,  //
             f(v.x * k), f(v.y * k), f(v.z * k), 0.0f,  //
             f(w.x * k), f(w.y * k), f(w.z * k), 0.0f,  //
             f(p.x), f(p.y), f(p.z), 1.0f}};
}

}  // namespace gc

bool probe_graphics_client() {
    return gc::shared_client().probe();
}

bool graphics_client_ready() {
    return gc::shared_client().ready();
}
