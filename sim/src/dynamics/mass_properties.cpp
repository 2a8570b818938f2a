#include "sim/mass_properties.h"

#include <vector>

#include "sim/attitude.h"
#include "sim/vessel.h"

namespace sim {

RelativePlace relative_place(const Vessel& parent, const Vessel& child) {
    const MATRIX3& rp = parent.state.rot;
    return {mul(transpose(rp), child.state.rot), tmul(rp, child.state.rpos - parent.state.rpos)};
}

namespace {

struct Part {
    double m;
    VECTOR3 c;
    MATRIX3 j;  // about c
};

// The parts of a vessel and what hangs on it: on the stack for the few children a vessel
// carries, since the motion asks for them in every internal step.
class Parts {
  public:
    void push(const Part& p) {
        if (count_ < kInline)
            inline_[count_] = p;
        else
            more_.push_back(p);
        ++count_;
    }
    template <typename F>
    void each(F f) const {
        for (std::size_t i = 0; i < count_; ++i) f(i < kInline ? inline_[i] : more_[i - kInline]);
    }

  private:
    static constexpr std::size_t kInline = 4;
    Part inline_[kInline];
    std::vector<Part> more_;
    std::size_t count_ = 0;
};

}  // namespace

MassProperties mass_properties(const Vessel& v) {
    const double own = v.own_mass_kg();
    // Alone, the vessel is the whole: its own centre and inertia, as the sum below gives them.
    if (!next_hanging(v, v)) {
        MassProperties out;
        out.mass_kg = own;
        out.inertia_kg_m2 = diagonal(v.config.pmi_m2 * own);
        return out;
    }
    Parts parts;
    parts.push({own, {0, 0, 0}, diagonal(v.config.pmi_m2 * own)});
    // Each hanging vessel is placed directly in v's frame, however deep it hangs.
    for_each_hanging(v, [&](const Vessel& d) {
        const double m = d.own_mass_kg();
        RelativePlace place = relative_place(v, d);
        parts.push({m, place.offset_m,
                    mul(place.rot, mul(diagonal(d.config.pmi_m2 * m), transpose(place.rot)))});
    });
    MassProperties out;
    VECTOR3 moment{0, 0, 0};
    parts.each([&](const Part& p) {
        out.mass_kg += p.m;
        moment += p.c * p.m;
    });
    if (out.mass_kg > 0.0)
        out.centre_m = moment / out.mass_kg;
    out.inertia_kg_m2 = {0, 0, 0, 0, 0, 0, 0, 0, 0};
    parts.each([&](const Part& p) {
        out.inertia_kg_m2 =
            add(out.inertia_kg_m2, add(p.j, point_mass_inertia(p.m, p.c - out.centre_m)));
    });
    return out;
}

}  // namespace sim
