// A stand-in for a graphics client, built as "D3D9Client.dll": it exports a few of the client
// entry points, each answering something that shows which arguments arrived in which order.
#include <cstdint>

using word = std::uintptr_t;

#ifdef _WIN32
#define CLIENT_EXPORT __declspec(dllexport)
#else
#define CLIENT_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

CLIENT_EXPORT std::uint32_t gcClientID() {
    return 0x5D9C;
}

CLIENT_EXPORT int gcSketchpadVersion(word) {
    return 2;
}

// Each argument weighs in at its own place, so a swapped pair changes the answer.
CLIENT_EXPORT word gcSetupCustomCamera(word a, word b, word c, word d, word e, double fov, word f,
                                       word g) {
    return ((((((a * 7 + b) * 7 + c) * 7 + d) * 7 + e) * 7 + static_cast<word>(fov * 1000)) * 7 +
            f) *
               7 +
           g;
}

CLIENT_EXPORT bool gcWorldToScreenSpace(word, word, word, float clip) {
    return clip > 0.5f;
}

CLIENT_EXPORT int gcMeshMaterial(word mesh, std::uint32_t index, word, bool set) {
    return static_cast<int>(mesh * 100 + index) * (set ? -1 : 1);
}
}
