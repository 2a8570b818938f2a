// The set of live objects that handles are checked against: it answers as an ordinary set
// through growth, colliding addresses and removals in any order.
#include "sim/live_set.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <set>

namespace {

const sim::Object* fake_object(std::uintptr_t n) {
    // Addresses as allocations space them; the set never reads through them.
    return reinterpret_cast<const sim::Object*>(0x10000 + 0x40 * n);
}

}  // namespace

TEST(LiveSet, AnswersAsAnOrdinarySetThroughGrowthAndRemovals) {
    sim::LiveSet live;
    std::set<const sim::Object*> expected;
    EXPECT_EQ(live.count(nullptr), 0u);
    EXPECT_EQ(live.count(fake_object(1)), 0u);
    live.insert(nullptr);
    EXPECT_EQ(live.size(), 0u);

    std::mt19937 random(7);
    std::uniform_int_distribution<std::uintptr_t> object(0, 3000);
    for (int round = 0; round < 40'000; ++round) {
        const sim::Object* p = fake_object(object(random));
        // Mostly insertions early on, mostly removals later: the table grows, then empties.
        if (random() % 40'000 > static_cast<unsigned>(round)) {
            live.insert(p);
            expected.insert(p);
        } else {
            live.erase(p);
            expected.erase(p);
        }
        if (round % 997 == 0) {
            ASSERT_EQ(live.size(), expected.size()) << "round " << round;
            for (std::uintptr_t n = 0; n <= 3000; ++n)
                ASSERT_EQ(live.count(fake_object(n)), expected.count(fake_object(n)))
                    << "object " << n << ", round " << round;
        }
    }
}
