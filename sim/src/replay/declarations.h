// What a vessel's module declared, as the replay's JSON: its meshes (read from their files, or
// left for the viewer to draw from the vessel's size), animation components, thrusters, flares,
// streams, beacons, spot lights and camera.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace sim {

class Vessel;

// Meshes read so far, by file, and the warnings given, each once.
struct MeshCache {
    std::vector<std::string> folders;  // looked in after the module's own meshes folder
    std::map<std::string, std::string> json_by_file;  // "null" for one that could not be read
    std::vector<std::string> warnings;
    std::set<std::string> warned;
    void warn(const std::string& w) {
        if (warned.insert(w).second)
            warnings.push_back(w);
    }
};

// The declaration as a JSON object.
std::string declaration_json(const Vessel& v, MeshCache& meshes);

// How many of each thing the vessel has declared so far: when a count changes the declaration is
// taken again. Compared in place, as it is at every sample.
using DeclarationCounts = std::vector<std::size_t>;
bool same_counts(const Vessel& v, const DeclarationCounts& counts);
DeclarationCounts declaration_counts(const Vessel& v);

}  // namespace sim
