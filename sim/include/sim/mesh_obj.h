// Meshes as the replay draws them, read from Wavefront OBJ files: one OBJ group ("g NAME") per
// mesh group, in index order. docs/replay.md describes what is read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/export.h"

namespace sim {
SIM_API_BEGIN

struct MeshGroup {
    std::string name;
    std::string material;                  // the last "usemtl" before the group's faces, or empty
    std::vector<float> positions;          // x, y, z per vertex, vessel frame, m
    std::vector<std::uint32_t> triangles;  // three indices into positions per triangle
};

struct MeshGeometry {
    std::vector<MeshGroup> groups;
};

// Largest mesh file read, bytes: the mesh goes into the page whole.
constexpr std::size_t kMaxMeshFileBytes = 4u << 20;

// Reads OBJ text. False with "line N: what is wrong" when it is malformed: a number that does
// not read, a face with fewer than three corners or a corner that names no vertex, a face before
// the first group.
bool parse_obj(const std::string& text, MeshGeometry& out, std::string& error);

// The file a mesh name stands for in a meshes folder: FOLDER/NAME.obj, with backslashes read as
// slashes. Empty for a name that could leave the folder (absolute, or with a ".." part) or is
// empty.
std::string mesh_file(const std::string& folder, const std::string& name);

SIM_API_END
}  // namespace sim
