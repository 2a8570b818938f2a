// The set of live objects a handle is checked against. Modules check a handle for every vessel
// they look at, every frame: a lookup is a multiplication and, nearly always, one or two reads
// of a flat table, without the division of a prime-sized hash table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sim/export.h"

namespace sim {
SIM_API_BEGIN

class Object;

class LiveSet {
  public:
    // 1 when p is in the set, else 0 (null never is).
    std::size_t count(const Object* p) const {
        if (!p || slots_.empty())
            return 0;
        for (std::size_t i = home(p);; i = (i + 1) & mask_) {
            if (slots_[i] == p)
                return 1;
            if (!slots_[i])
                return 0;
        }
    }

    void insert(const Object* p) {
        if (!p || count(p))
            return;
        if (2 * (size_ + 1) > slots_.size())
            grow();
        place(p);
        ++size_;
    }

    void erase(const Object* p) {
        if (!p || slots_.empty())
            return;
        std::size_t i = home(p);
        while (slots_[i] != p) {
            if (!slots_[i])
                return;
            i = (i + 1) & mask_;
        }
        // Backward-shift deletion: entries after the hole that may sit in it move up, so that
        // every lookup still meets its entry before an empty slot.
        for (std::size_t j = (i + 1) & mask_; slots_[j]; j = (j + 1) & mask_) {
            std::size_t h = home(slots_[j]);
            // j's entry may fill the hole at i when its home is not cyclically within (i, j].
            bool home_in_between = i <= j ? (i < h && h <= j) : (i < h || h <= j);
            if (!home_in_between) {
                slots_[i] = slots_[j];
                i = j;
            }
        }
        slots_[i] = nullptr;
        --size_;
    }

    std::size_t size() const { return size_; }

  private:
    std::size_t home(const Object* p) const {
        // Fibonacci hashing of the address: its high bits spread every bit of the address.
        const auto a = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(p));
        return static_cast<std::size_t>((a * 0x9E3779B97F4A7C15ull) >> shift_);
    }

    void place(const Object* p) {
        std::size_t i = home(p);
        while (slots_[i]) i = (i + 1) & mask_;
        slots_[i] = p;
    }

    void grow() {
        std::vector<const Object*> old = std::move(slots_);
        const std::size_t capacity = old.empty() ? 16 : 2 * old.size();
        slots_.assign(capacity, nullptr);
        mask_ = capacity - 1;
        shift_ = 64;
        for (std::size_t c = capacity; c > 1; c >>= 1) --shift_;
        for (const Object* p : old)
            if (p)
                place(p);
    }

    std::vector<const Object*> slots_;  // null: empty; the size is a power of two
    std::size_t mask_ = 0;
    unsigned shift_ = 64;
    std::size_t size_ = 0;
};

SIM_API_END
}  // namespace sim
