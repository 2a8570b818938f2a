#include "apps/montecarlo/plan.h"

#include <charconv>
#include <cmath>

namespace app {

namespace {

// SplitMix64: a small generator whose output is fixed by its definition on every platform
// (the standard library's distributions are not).
class SplitMix64 {
  public:
    explicit SplitMix64(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [lo, hi), rounded to decimals.
    double uniform(double lo, double hi, int decimals) {
        double u = static_cast<double>(next() >> 11) * 0x1.0p-53;
        double scale = std::pow(10.0, decimals);
        return std::round((lo + (hi - lo) * u) * scale) / scale;
    }

  private:
    std::uint64_t state_;
};

}  // namespace

Dispersion disperse(const DispersionRanges& r, std::uint64_t study_seed, int run) {
    Dispersion d;
    d.run = run;
    d.seed = SplitMix64(study_seed ^ (0xD1B54A32D192ED03ull * static_cast<std::uint64_t>(run + 1)))
                 .next();
    SplitMix64 g(d.seed);
    StartOverrides& s = d.start;
    s.height_scale = g.uniform(1.0 - r.height_spread, 1.0 + r.height_spread, 4);
    s.speed_scale = g.uniform(1.0 - r.speed_spread, 1.0 + r.speed_spread, 4);
    s.wind_m_s = g.uniform(0.0, r.wind_max_m_s, 2);
    s.wind_from_deg = g.uniform(0.0, 360.0, 1);
    s.turn_deg = g.uniform(-r.turn_max_deg, r.turn_max_deg, 2);
    s.turn_axis_deg = g.uniform(0.0, 180.0, 1);
    d.dt_s = g.uniform(r.dt_min_s, r.dt_max_s, 4);
    s.ground_offset_m = g.uniform(-r.ground_offset_max_m, r.ground_offset_max_m, 0);
    return d;
}

RunRange shard_runs(int runs, int k, int n) {
    auto bound = [&](int i) { return static_cast<int>(static_cast<long long>(runs) * i / n); };
    return {bound(k - 1), bound(k)};
}

bool parse_shard(const std::string& text, int& k, int& n) {
    std::size_t slash = text.find('/');
    if (slash == std::string::npos)
        return false;
    const char* b = text.data();
    const char* e = b + text.size();
    auto [p1, ec1] = std::from_chars(b, b + slash, k);
    auto [p2, ec2] = std::from_chars(b + slash + 1, e, n);
    return ec1 == std::errc() && p1 == b + slash && ec2 == std::errc() && p2 == e && k >= 1 &&
           n >= 1 && k <= n;
}

}  // namespace app
