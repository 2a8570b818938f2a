// Buffered keys sent from one vessel to another.
#include "host/keys.h"
#include "sim/keyboard.h"
#include "sim/vessel.h"
#include "sim/world.h"
#include "vessel_access.h"

int VESSEL::SendBufferedKey(DWORD key, bool down, char* kstate) {
    auto& v = sim::stand_in_of(this);
    v.trace.record("SendBufferedKey", static_cast<unsigned>(key), down,
                   static_cast<const void*>(kstate));
    if (auto* w = sim::World::current())
        w->event(sim::event::Key{&v, key, down});
    return sim::deliver_key(v, key, down, kstate);
}
