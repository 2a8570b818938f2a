// A stand-in for a graphics client, built as "D3D9Client.dll": it exports a few of the client
// entry points, each answering something that shows which arguments arrived in which order.
#include <cstdint>

using word = std::uintptr_t;

extern "C" {

__attribute__((visibility("default"))) std::uint32_t gcClientID() {
    return 0x5D9C;
}

__attribute__((visibility("default"))) int gcSketchpadVersion(word) {
    return 2;
}

// Each argument weighs in at its own place, so a swapped pair changes the answer.
__attribute__((visibility("default"))) word gcSetupCustomCamera(word a, word b, word c, word d,
                                                                word e, double fov, word f,
                                                                word g) {
    return ((((((a * 7 + b) * 7 + c) * 7 + d) * 7 + e) * 7 + static_cast<word>(fov * 1000)) * 7 +
            f) *
               7 +
           g;
}

__attribute__((visibility("default"))) bool gcWorldToScreenSpace(word, word, word, float clip) {
    return clip > 0.5f;
}

__attribute__((visibility("default"))) int gcMeshMaterial(word mesh, std::uint32_t index, word,
                                                          bool set) {
    return static_cast<int>(mesh * 100 + index) * (set ? -1 : 1);
}
}
