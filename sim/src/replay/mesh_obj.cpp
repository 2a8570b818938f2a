#include "sim/mesh_obj.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace sim {

namespace {

bool read_float(const std::string& word, float& out) {
    if (word.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    const double d = std::strtod(word.c_str(), &end);
    if (*end != '\0' || errno == ERANGE || !std::isfinite(d))
        return false;
    out = static_cast<float>(d);
    return true;
}

// A face corner "v", "v/vt", "v//vn" or "v/vt/vn": the vertex index, 1-based, or negative to
// count back from the last vertex read. -1 when it names none of the count vertices read.
long corner_vertex(const std::string& word, std::size_t count) {
    const std::string index = word.substr(0, word.find('/'));
    if (index.empty())
        return -1;
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(index.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE)
        return -1;
    const long c = static_cast<long>(count);
    if (n > 0 && n <= c)
        return n - 1;
    if (n < 0 && -n <= c)
        return c + n;
    return -1;
}

}  // namespace

bool parse_obj(const std::string& text, MeshGeometry& out, std::string& error) {
    out.groups.clear();
    std::vector<float> vertices;
    // Each group keeps the vertices it uses, renumbered in the order first used.
    std::vector<long> local;  // file vertex -> index in the current group, or -1
    std::string material;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& what) {
        error = "line " + std::to_string(number) + ": " + what;
        out.groups.clear();
        return false;
    };
    while (std::getline(lines, line)) {
        ++number;
        std::istringstream words(line);
        std::string key;
        if (!(words >> key) || key[0] == '#')
            continue;
        if (key == "v") {
            float xyz[3];
            std::string w;
            for (float& c : xyz)
                if (!(words >> w) || !read_float(w, c))
                    return fail("a vertex needs three numbers");
            vertices.insert(vertices.end(), xyz, xyz + 3);
            local.push_back(-1);
        } else if (key == "g" || key == "o") {
            if (key == "o" && !out.groups.empty())
                continue;  // an object name is not a group
            std::string name;
            std::getline(words >> std::ws, name);
            out.groups.push_back({name, material, {}, {}});
            local.assign(local.size(), -1);
        } else if (key == "usemtl") {
            words >> material;
            if (!out.groups.empty() && out.groups.back().triangles.empty())
                out.groups.back().material = material;
        } else if (key == "f") {
            if (out.groups.empty())
                return fail("a face before the first group");
            MeshGroup& g = out.groups.back();
            std::vector<std::uint32_t> corners;
            std::string w;
            while (words >> w) {
                const long vi = corner_vertex(w, local.size());
                if (vi < 0)
                    return fail("face corner \"" + w + "\" names no vertex read so far");
                if (local[vi] < 0) {
                    local[vi] = static_cast<long>(g.positions.size() / 3);
                    g.positions.insert(g.positions.end(), vertices.begin() + 3 * vi,
                                       vertices.begin() + 3 * vi + 3);
                }
                corners.push_back(static_cast<std::uint32_t>(local[vi]));
            }
            if (corners.size() < 3)
                return fail("a face needs three corners");
            for (std::size_t i = 1; i + 1 < corners.size(); ++i)
                g.triangles.insert(g.triangles.end(), {corners[0], corners[i], corners[i + 1]});
        }
        // Normals, texture coordinates, smoothing groups and material libraries: not drawn.
    }
    if (out.groups.empty())
        return fail("no group");
    return true;
}

std::string mesh_file(const std::string& folder, const std::string& name) {
    std::string n = name;
    for (char& c : n)
        if (c == '\\')
            c = '/';
    if (n.empty() || n[0] == '/')
        return {};
    std::size_t start = 0;
    while (start <= n.size()) {
        const std::size_t end = std::min(n.find('/', start), n.size());
        if (n.compare(start, end - start, "..") == 0 && end - start == 2)
            return {};
        start = end + 1;
    }
    return (folder.empty() ? std::string(".") : folder) + "/" + n + ".obj";
}

}  // namespace sim
