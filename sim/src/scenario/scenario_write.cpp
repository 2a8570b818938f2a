// Writing a world's state as a scenario file. The file is written beside its final place and
// renamed onto it, so that a failed save never leaves half a scenario behind.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "scenario_standard.h"
#include "sim/number_text.h"
#include "sim/scenario.h"
#include "sim/trace.h"
#include "sim/world.h"

namespace sim {

namespace {

void write_environment(const World& w, const ScenarioInfo& info, std::ostream& out) {
    out << "BEGIN_ENVIRONMENT\n";
    out << "  System " << info.system << "\n";
    // The bodies move and turn with the date, written to the last digit so that free vessels read
    // back over the same ground.
    out << "  Date MJD " << format_double(w.clock.mjd) << "\n";
    out << "  SimTime " << format_double(w.clock.t_s) << "\n";
    if (w.clock.time_accel != 1.0)
        out << "  TimeAccel " << format_double(w.clock.time_accel) << "\n";
    for (const auto& b : w.bodies()) {
        const VECTOR3& wind = b->wind_horizon;
        if (wind.x != 0.0 || wind.y != 0.0 || wind.z != 0.0)
            out << "  Wind " << b->name() << " " << format_double(wind.x) << " "
                << format_double(wind.z) << " " << format_double(wind.y) << "\n";
        if (b->ground_elevation_m != 0.0)
            out << "  GroundElevation " << b->name() << " " << format_double(b->ground_elevation_m)
                << "\n";
    }
    out << "END_ENVIRONMENT\n\n";
}

void write_vessel(World& w, Vessel& v, std::ostream& out) {
    ScenarioWriteBlock block = saved_block(w, v);
    out << v.name() << ":" << v.class_name() << "\n";
    for (const auto& [key, value] : block.items) {
        out << "  " << key;
        if (!value.empty())
            out << " " << value;
        out << "\n";
    }
    out << "END\n";
}

bool write_all(int fd, const std::string& text) {
    const char* p = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

ScenarioWriteBlock saved_block(World& w, Vessel& v) {
    ScenarioWriteBlock block;
    if (VESSEL2* cb = v.callbacks()) {
        CallbackScope scope(w, &v);
        cb->clbkSaveState(&block);
    } else {
        write_standard_lines(v, block);
        block.standard_end = block.items.size();
    }
    return block;
}

std::string scenario_text(World& w, const ScenarioInfo& info) {
    std::ostringstream out;
    out << "BEGIN_DESC\n" << info.description;
    if (!info.description.empty() && info.description.back() != '\n')
        out << "\n";
    out << "END_DESC\n\n";
    write_environment(w, info, out);
    if (w.focus())
        out << "BEGIN_FOCUS\n  Ship " << w.focus()->name() << "\nEND_FOCUS\n\n";
    out << "BEGIN_SHIPS\n";
    for (const auto& v : w.vessels()) write_vessel(w, *v, out);
    out << "END_SHIPS\n";
    return out.str();
}

bool save_scenario(World& w, const std::string& path, const ScenarioInfo& info,
                   std::string& error) {
    std::string text = scenario_text(w, info);
    auto failed = [&](int err) {
        error = "cannot write " + path + ": " + std::strerror(err);
        return false;
    };
    // Renaming onto a link or a device would replace it with a plain file.
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        error = "cannot write " + path + ": not a regular file";
        return false;
    }
    std::string temp = path + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return failed(errno);
    // mkstemp makes the file private; a scenario gets the usual permissions.
    mode_t mask = ::umask(0);
    ::umask(mask);
    int err = 0;
    if (::fchmod(fd, 0666 & ~mask) != 0 || !write_all(fd, text) || ::fsync(fd) != 0)
        err = errno;
    if (::close(fd) != 0 && err == 0)
        err = errno;
    if (err == 0 && std::rename(temp.c_str(), path.c_str()) != 0)
        err = errno;
    if (err == 0)
        return true;
    ::unlink(temp.c_str());
    return failed(err);
}

}  // namespace sim
