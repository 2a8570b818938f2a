// After every vessel exists: the lander finds Mars and its mother vessel. And the generic cockpit,
// which shows the selected camera view.
#include <cstddef>

#include "host/oapi.h"
#include "quor_tevlan.h"

namespace {

// The stored parent name is limited to this many characters, terminating zero included.
constexpr int mother_name_length = 30;
static_assert(sizeof(quor_tevlan::mother_name) >= std::size_t{mother_name_length});

}  // namespace

void quor_tevlan::clbkAfterCreation() {
    mars_handle = oapiGetGbodyByName("Mars");
    mother_vessel = GetAttachmentStatus(mother_attachment);
    if (mother_vessel) {
        // Hanging on a parent: that parent is the mother vessel, whatever name was saved.
        oapiGetObjectName(mother_vessel, mother_name, mother_name_length);
        mother_name[mother_name_length - 1] = '\0';  // ends within the length even if cut off
        return;
    }
    // Released before the scenario was saved: find the former mother vessel by its name.
    mother_vessel = oapiGetObjectByName(mother_name);
}

bool quor_tevlan::clbkLoadGenericCockpit() {
    select_camera_view();
    return true;
}
